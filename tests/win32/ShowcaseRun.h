// The end of the showcase programs (looked at, not tests): they run until their main
// form is closed, or for SECONDS when given that as their first argument.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "toolkit/ExtCtrls.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Forms.h"

inline int RunShowcase(Toolkit::TForm& form, int argc, char** argv) {
    if (argc > 1) {
        auto* timer = new Toolkit::TTimer(&form);
        timer->SetInterval(std::uint32_t(std::atoi(argv[1]) * 1000));
        timer->OnTimer = [&form](Toolkit::TObject*) { form.Close(); };
    }
    Toolkit::Application().Run();
    delete Toolkit::TForm::MainForm();
    return 0;
}
