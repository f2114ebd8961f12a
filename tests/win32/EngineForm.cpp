#include "win32/EngineForm.h"

#include "support/Fixtures.h"

namespace WinFixtures {

Toolkit::TForm* FormWithComponent(Wipekit::TLumawipe*& wipe, int w, int h, std::uint32_t interval, bool thread) {
    auto* form = new Toolkit::TForm(nullptr);
    form->SetClientSize(w + 20, h + 20);
    wipe = new Wipekit::TLumawipe(form);
    wipe->SetBounds(10, 10, w, h);
    wipe->SetParent(form);
    Toolkit::TBitmap from, to;
    Fixtures::MakeCoordPicture(from, w, h, Fixtures::FromTag);
    Fixtures::MakeCoordPicture(to, w, h, Fixtures::ToTag);
    wipe->SetFromBitmap(from);
    wipe->SetToBitmap(to);
    wipe->SetOperation(Wipekit::TTransitionOperation::toPush);
    wipe->SetInterval(interval);
    wipe->SetUseThread(thread);
    form->Show();
    return form;
}

}  // namespace WinFixtures
