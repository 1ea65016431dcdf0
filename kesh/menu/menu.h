// The selection menu over the window, for -? and -/ (and their tests).
#pragma once
#include <string>

#include "kesh/driver/run.h"
#include "platform/console.h"

// Shows the window as a numbered menu with the prompt below it, reads the
// choice and replaces the window by the chosen lines; returns their number.
// one_item_shortcut: a single item may be taken without asking (-?).
// keys: where the answer comes from; null opens the keyboard when the menu
// is actually shown. Returns -1 after the too-many-items message (the run
// then ends with that code).
long long sel(Run& r, std::string prompt, bool one_item_shortcut, plat::KeySource* keys);
