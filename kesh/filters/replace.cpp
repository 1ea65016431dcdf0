// Not built yet: these operations answer with the parameter error.
#include "kesh/ops.h"

Step op_replace(Run& r, Op& o) { return param_error(r, o); }
Step op_separator(Run&, Op&) { return next_group(); }  // not built yet: does nothing
