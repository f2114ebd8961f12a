// Compiles LumawipeTypes.h once, so that its checks run with every build of the library.
#include "LumawipeTypes.h"
