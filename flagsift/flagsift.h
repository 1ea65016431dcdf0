// flagsift: the messages of a LaTeX log that need attention, each group under
// the name of the input file LaTeX was reading.
#pragma once
#include <cstdio>

// The whole program: exit code 0 done, 1 bad argument, 2 no log, 4 no .flg.
// A write error of the .flg is fatal (Fatal{1}).
int flagsift_main(int argc, char** argv);

// Reads a log (binary stream, decoded as text) and writes the box warnings
// and errors with their file markers to flg in text mode.
void sift(FILE* log, FILE* flg);
