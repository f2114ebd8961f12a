// The control's stored properties as form data, described on its engine so that the
// description (and the reader on hostile data) is built and tested natively too.
#pragma once

#include <functional>
#include <string>

#include "activex/Wipeax.h"
#include "toolkit/Streaming.h"

namespace Wipeax {

// The engine a stored component holds (the control's window holds one).
using TEngineOf = std::function<TLumawipe&(Toolkit::TComponent&)>;

// FromBitmap, ToBitmap, Color, Delta, Interval, RGBOrder, Modifier, Operation, Reverse,
// UseThread, Steps of the engine that engineOf finds in a component of class className.
Toolkit::TClassInfo StoredProperties(std::string className, TEngineOf engineOf);

}  // namespace Wipeax
