#include <string>

#include "engine/effects/EffectKit.h"

namespace Wipekit::Effects {

void NotBuilt(TTransitionOperation op) {
    throw ELumawipe("Operation " + std::string(OperationName(op)) + " is not built yet.");
}

}  // namespace Wipekit::Effects
