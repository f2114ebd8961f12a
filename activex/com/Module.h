// The module's accounting for DllCanUnloadNow: every live object and every lock on a
// class object holds the module; the module knows its own handle and file.
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <string>

namespace Com {

void LockModule() noexcept;
void UnlockModule() noexcept;
// Objects alive plus class-object locks.
long ModuleLockCount() noexcept;

// The module holding this code (the DLL, or the program when linked into one).
HMODULE ThisModule() noexcept;
// Its full file name.
std::wstring ModulePath();

}  // namespace Com
