// Not built yet: these operations answer with the parameter error.
#include "kesh/ops.h"

Step op_dashdash(Run& r, Op& o) { return param_error(r, o); }
