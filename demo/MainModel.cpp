#include "demo/MainModel.h"

#include <sstream>

#include "engine/LumawipeStream.h"
#include "lumawipe_pictures.h"

namespace MainUnit {

using Op = Wipekit::TTransitionOperation;

std::string StoredLumawipe() {
    // The component as it was set up in the form: saving it writes exactly what differs
    // from the defaults, and the pictures as complete BMP files.
    Wipekit::TLumawipe designed(nullptr);
    Toolkit::TBitmap from, to;
    from.LoadFromMemory(Wipekit::Pictures::FromPicture, Wipekit::Pictures::FromPictureSize);
    to.LoadFromMemory(Wipekit::Pictures::ToPicture, Wipekit::Pictures::ToPictureSize);
    designed.SetFromBitmap(from);
    designed.SetToBitmap(to);
    designed.SetColor(Toolkit::clSilver);
    designed.SetCurrentFrame(0);
    designed.SetDelta(1);
    designed.SetInterval(10);
    designed.SetOperation(Op::toMonoSlider);
    designed.SetSteps(10);
    auto& about = designed.AboutLines();
    about.Clear();
    Wipekit::WriteAbout(about, "Version: 2.0");
    std::ostringstream out;
    Wipekit::SaveLumawipe(out, designed);
    return out.str();
}

}  // namespace MainUnit
