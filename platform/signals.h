// An orderly end when the user interrupts a program, and a cap on file sizes
// for tests that must not fill a disk.
#pragma once

namespace plat {

// Interrupts are Ctrl+C, Ctrl+Break, closing the console window, SIGINT,
// SIGTERM and SIGHUP. While they are watched, an interrupt only raises a flag
// that interrupted() reports; the program tidies up and then returns
// end_interrupted() from main.
void watch_interrupts();
// Back to the default handling; forgets an interrupt that was seen.
void unwatch_interrupts();
bool interrupted();
// Ends the process the way the interrupt would have ended it, so that a
// calling shell or batch file sees an interrupt and not a normal end. Where
// that is not possible it returns the exit code that stands for one.
int end_interrupted();

// For tests that must not fill a disk: caps the size of every file this
// process writes, so that a write beyond max_bytes fails (max_bytes < 0 lifts
// the cap again). False where the platform has no such cap.
bool limit_file_size(long long max_bytes);

}  // namespace plat
