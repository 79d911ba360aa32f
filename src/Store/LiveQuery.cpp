// Gives the LiveQuery signals a translation unit of their own.
#include "Store/LiveQuery.h"
