// State objects of the random-bar operations.
#pragma once

#include "engine/Wipekit.h"

namespace Wipekit {

class TRandomBarsFXState : public TFXState {};
class TTwinRandomBarsFXState : public TFXState {};

}  // namespace Wipekit
