// Members of the -- family that live in files of their own. The family's
// table in dashdash.cpp names them.
#pragma once
#include "kesh/driver/run.h"

// joinsplit.cpp
Step dd_lines(Run& r, Op& o);         // --lines  join lines
Step dd_rows(Run& r, Op& o);          // --rows   split lines into rows
Step dd_split(Run& r, Op& o);         // --split  cut lines at a text
Step dd_unnumber(Run& r, Op& o);      // --n      strip numbering
// rotate.cpp
Step dd_rotate_left(Run& r, Op& o);   // --c      rotate left
Step dd_rotate_right(Run& r, Op& o);  // --C      rotate right
Step dd_capitals(Run& r, Op& o);      // --eG     keep lines beginning with a capital
Step dd_drop_short(Run& r, Op& o);    // --eA     drop short lines
Step dd_rand(Run& r, Op& o);          // --rand   shuffle the window
Step dd_rename(Run& r, Op& o);        // --rename rename files
Step dd_insert_file(Run& r, Op& o);   // --I      insert lines from a file
// sort.cpp
Step dd_sort(Run& r, Op& o);          // --S      sort family
// columns.cpp
Step dd_columns(Run& r, Op& o);       // --t      column layouts
Step dd_proj(Run& r, Op& o);          // --Proj   directory listing
