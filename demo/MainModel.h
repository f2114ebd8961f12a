// What the demo's main form stores apart from its windows: the component as the form was
// designed. The operation items, presets and the number edits' rules the form follows
// are the settings every program shares (settings/).
#pragma once

#include <string>

#include "settings/NumberEdits.h"
#include "settings/OperationItems.h"

namespace MainUnit {

// The Lumawipe component as the main form stores it, as form data: the two built-in
// pictures as picture data (each a length and the complete BMP file), Color clSilver,
// Delta 1, Interval 10, Operation toMonoSlider, Steps 10 and the About lines.
std::string StoredLumawipe();

}  // namespace MainUnit
