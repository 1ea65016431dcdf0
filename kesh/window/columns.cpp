// Not built yet: these members do nothing, so that scripts using them run on.
#include "kesh/window/dashdash.h"

Step dd_columns(Run&, Op&) { return next_group(); }
Step dd_proj(Run&, Op&) { return next_group(); }
