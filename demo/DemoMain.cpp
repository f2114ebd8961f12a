// Demo: the program entry. The main form and the About form are made at start-up; the
// message loop runs until the main form closes.
#include "demo/AbtUnit.h"
#include "demo/MainUnit.h"
#include "toolkit/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace Toolkit;
    Application().Title = "Lumawipe ActiveX Control Demonstration";
    auto* mainForm = new MainUnit::TMainForm(nullptr);
    mainForm->MakeMainForm();
    auto* aboutForm = new AbtUnit::TAboutForm(nullptr);
    mainForm->AboutForm = aboutForm;
    mainForm->Show();
    Application().Run();
    delete aboutForm;
    delete mainForm;
    return 0;
}
