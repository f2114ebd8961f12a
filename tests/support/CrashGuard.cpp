// Windows test programs: an unhandled exception ends the process with the exception
// code, so a crash can never pass as success (Wine sometimes exits 0 otherwise).
#ifdef _WIN32
#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI TerminateOnCrash(EXCEPTION_POINTERS* info) {
    const DWORD code = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 1;
    std::fprintf(stderr, "unhandled exception 0x%08lx\n", static_cast<unsigned long>(code));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), code ? UINT(code) : 1u);
    return EXCEPTION_EXECUTE_HANDLER;
}

struct CrashGuard {
    CrashGuard() {
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
        SetUnhandledExceptionFilter(TerminateOnCrash);
    }
} const guard;

}  // namespace
#endif
