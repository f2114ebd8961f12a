#include "activex/com/Module.h"

#include <atomic>

namespace Com {

namespace {
std::atomic<long> locks{0};
}  // namespace

void LockModule() noexcept { locks.fetch_add(1, std::memory_order_relaxed); }
void UnlockModule() noexcept { locks.fetch_sub(1, std::memory_order_relaxed); }
long ModuleLockCount() noexcept { return locks.load(std::memory_order_relaxed); }

HMODULE ThisModule() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(ThisModule(), path.data(), DWORD(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace Com
