// The property page in the system's property frame, or the About box, for looking at them
// (not a test): activex_page_showcase page|about [SECONDS] closes after SECONDS (default 5).
#include "toolkit/win32/WindowsApi.h"

#include <olectl.h>

#include <cstdlib>
#include <string>

#include "activex/AboutLumawipe.h"
#include "activex/FakeControl.h"
#include "activex/PropUnitObject.h"
#include "activex/com/ClassFactory.h"

namespace {

UINT gSeconds = 5;

// Closes the thread's active window (the frame or the box) when the time is up.
void CALLBACK CloseActive(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    PostMessageW(GetActiveWindow(), WM_CLOSE, 0, 0);
}

int ShowPage() {
    OleInitialize(nullptr);
    Com::TClassFactory factory{CLSID_LumawipeProperties, CreateLumawipeProperties};
    DWORD cookie = 0;
    CoRegisterClassObject(CLSID_LumawipeProperties, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
    PageFixtures::TFakeControl control;
    control.Values[L"Operation"] = int(Wipekit::TTransitionOperation::toFade);
    control.Values[L"Color"] = 0x00602010;
    control.Values[L"Interval"] = 20;
    control.Values[L"Steps"] = 4;
    control.Values[L"UseThread"] = -1;
    IUnknown* objects[] = {&control};
    CLSID pages[] = {CLSID_LumawipeProperties};
    SetTimer(nullptr, 0, gSeconds * 1000, CloseActive);
    const HRESULT hr = OleCreatePropertyFrame(nullptr, 0, 0, L"Lumawipe Control", 1, objects, 1, pages,
                                              LOCALE_USER_DEFAULT, 0, nullptr);
    CoRevokeClassObject(cookie);
    OleUninitialize();
    return SUCCEEDED(hr) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) gSeconds = UINT(std::atoi(argv[2]));
    if (argc > 1 && std::string(argv[1]) == "about") {
        SetTimer(nullptr, 0, gSeconds * 1000, CloseActive);
        AboutLumawipe::ShowLumawipeAbout();
        return 0;
    }
    return ShowPage();
}
