// <windows.h> as the toolkit's Windows code includes it: its colour macros (RGB,
// GetRValue, ...) would hide the toolkit's functions of those names, and min/max the
// standard library's.
#pragma once

#include "toolkit/Types.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef RGB
#undef GetRValue
#undef GetGValue
#undef GetBValue
