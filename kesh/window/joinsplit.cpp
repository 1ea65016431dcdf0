// Not built yet: these members do nothing, so that scripts using them run on.
#include "kesh/window/dashdash.h"

Step dd_lines(Run&, Op&) { return next_group(); }
Step dd_rows(Run&, Op&) { return next_group(); }
Step dd_split(Run&, Op&) { return next_group(); }
Step dd_unnumber(Run&, Op&) { return next_group(); }
