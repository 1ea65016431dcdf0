// Not built yet: this member does nothing, so that scripts using it run on.
#include "kesh/window/dashdash.h"

Step dd_sort(Run&, Op&) { return next_group(); }
