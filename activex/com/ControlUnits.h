// What the parts of TActiveXControl (object, in-place activation and drawing,
// persistence) share: the conversion between pixels and the HIMETRIC units of extents,
// and out-parameters cleared on failure.
#pragma once

#include "toolkit/win32/WindowsApi.h"

namespace Com {

// Pixels of the screen and HIMETRIC (0.01 mm), horizontally or vertically.
long ToHimetric(int pixels, bool horizontal);
int ToPixels(long himetric, bool horizontal);

template <class T>
void SetNull(T** out) {
    if (out) *out = nullptr;
}

}  // namespace Com
