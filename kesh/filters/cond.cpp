// Not built yet: these operations answer with the parameter error.
#include "kesh/ops.h"

Step op_plus_i(Run& r, Op& o) { return param_error(r, o); }
Step op_plusplus(Run& r, Op& o) { return param_error(r, o); }
