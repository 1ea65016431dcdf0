// Not built yet: these members do nothing, so that scripts using them run on.
#include "kesh/window/dashdash.h"

Step dd_rotate_left(Run&, Op&) { return next_group(); }
Step dd_rotate_right(Run&, Op&) { return next_group(); }
Step dd_capitals(Run&, Op&) { return next_group(); }
Step dd_drop_short(Run&, Op&) { return next_group(); }
Step dd_rand(Run&, Op&) { return next_group(); }
Step dd_rename(Run&, Op&) { return next_group(); }
Step dd_insert_file(Run&, Op&) { return next_group(); }
