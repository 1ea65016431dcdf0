// numka: floating-point assignments handed to the calling script as set
// lines, a number in hexadecimal, and the widening and narrowing of text
// files between 8-bit characters and 16-bit units.
#pragma once
#include <string>

// The whole program; envp is the process environment (NAME=VALUE texts,
// null-terminated). Fatal errors arrive as Fatal.
int numka_main(int argc, char** argv, char** envp);

// A value as "%f" writes it in the C locale: six decimals, '.' as the
// decimal point whatever the user's locale.
std::string numka_format(double v);
