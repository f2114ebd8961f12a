// A shown form holding one TLumawipe: the fixture of the tests that run the engine on
// real windows.
#pragma once

#include <cstdint>

#include "engine/Wipekit.h"
#include "toolkit/win32/Forms.h"

namespace WinFixtures {

// A form with a w x h component at (10, 10), its pictures the coordinate pictures of
// that size, pushing at interval ms in timer or thread mode; shown. The form owns the
// component (wipe); the caller frees the form.
Toolkit::TForm* FormWithComponent(Wipekit::TLumawipe*& wipe, int w, int h, std::uint32_t interval, bool thread);

}  // namespace WinFixtures
