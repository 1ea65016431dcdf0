// Not built yet: these operations answer with the parameter error.
#include "kesh/ops.h"

Step op_e(Run& r, Op& o) { return param_error(r, o); }
Step op_v(Run& r, Op& o) { return param_error(r, o); }
Step op_V(Run& r, Op& o) { return param_error(r, o); }
