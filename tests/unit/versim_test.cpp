// versim's naming rules as tables: the output name derived from the input and
// the file name shown in the header.
#include <gtest/gtest.h>

#include "versim/versim.h"

namespace {

TEST(Versim, OutputName) {
    struct Case {
        const char* in;
        const char* out;  // null: none given
        const char* want;
    } cases[] = {
        {"notes", nullptr, "notes.tex"},
        {"a.txt", nullptr, "a.tex"},
        {"a.b.c", nullptr, "a.b.tex"},
        {"a.tex", nullptr, "a.tex.tex"},
        {"a.txt", "b.tex", "b.tex"},
        {"a.tex", "a.tex", "a.tex.tex"},
        {"a.txt", "a.txt", "a.txt.tex"},
        {"dir/a.txt", nullptr, "dir/a.tex"},
        // A dot in a folder name is no extension of the file.
        {"dir.v2/notes", nullptr, "dir.v2/notes.tex"},
        {"../notes", nullptr, "../notes.tex"},
        {"c:\\my.dir\\notes", nullptr, "c:\\my.dir\\notes.tex"},
        {"c:\\my.dir\\notes.txt", nullptr, "c:\\my.dir\\notes.tex"},
        {".profile", nullptr, ".tex"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(versim_output_name(c.in, c.out), c.want) << c.in << " " << (c.out ? c.out : "(none)");
}

TEST(Versim, FilenameTextIsTheEscapedBaseName) {
    struct Case {
        const char* in;
        const char* want;
    } cases[] = {
        {"plain.txt", "plain.txt"},
        {"my%f_1.txt", "my\\%f\\_1.txt"},
        {"a#b$c~d&e.txt", "a\\#b\\$c\\~d\\&e.txt"},
        {"c:\\dir\\x_y.txt", "x\\_y.txt"},
        {"dir/sub/x.txt", "x.txt"},
        {"a\\b/c.txt", "c.txt"},
        {"a/b\\c.txt", "c.txt"},
        {"dir/", ""},
        // Only the six characters are escaped.
        {"{x}^.txt", "{x}^.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(versim_filename_text(c.in), c.want) << c.in;
}

}  // namespace
