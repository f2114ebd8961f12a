// Form data of TLumawipe: its stored properties, in declaration order with their defaults.
#pragma once

#include <iosfwd>

#include "engine/Wipekit.h"
#include "toolkit/Streaming.h"

namespace Wipekit {

// About, Color, CurrentFrame, FromBitmap, ToBitmap, Delta, Interval, RGBOrder, Modifier,
// Operation, Reverse, UseThread, Steps. Active is never stored.
const Toolkit::TClassInfo& LumawipeClassInfo();

void SaveLumawipe(std::ostream& out, const TLumawipe& component);
// Applies the stored values through the write rules (About lines straight into the list).
// Malformed data raises Toolkit::EReadError and leaves the component as it was.
void LoadLumawipe(std::istream& in, TLumawipe& component);

}  // namespace Wipekit
