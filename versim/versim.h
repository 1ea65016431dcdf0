// versim: a plain text file as a LaTeX source that typesets it verbatim,
// cut into blocks at blank lines, under a header with its name and the date.
#pragma once
#include <ctime>
#include <string>

// The whole program. Fatal errors arrive as Fatal.
int versim_main(int argc, char** argv);

// The output name: `out` when given (null: derived from `in` by replacing
// the extension of its last path component with ".tex"); ".tex" is appended
// once more when the result equals the input name.
std::string versim_output_name(const char* in, const char* out);

// The input's base name (after the last '\' and then the last '/') with the
// characters % # $ _ ~ & escaped by a backslash.
std::string versim_filename_text(const char* in);

// A time in the 24-character form "Thu Apr 24 18:23:21 2014", as local time
// or as UTC.
std::string versim_date(std::time_t t, bool utc);

// True when the first set one of LC_ALL, LC_MESSAGES and LANG names German.
bool versim_german();
