// Windows: a crash (an access violation, a stack overflow …) ends a test program with a failing
// status. Without this, wine's debugger may end it with status 0, and MinGW's GoogleTest catches
// no structured exceptions.
#include <cstdio>
#include <windows.h>

namespace {

LONG WINAPI OnCrash(EXCEPTION_POINTERS* crash)
{
    std::fprintf(stderr, "\nFATAL: unhandled exception 0x%08lX at %p\n",
                 crash->ExceptionRecord->ExceptionCode, crash->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 0xC5); // wine passes on the low 8 bits only
    return EXCEPTION_EXECUTE_HANDLER;
}

const bool g_installed = [] {
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::SetUnhandledExceptionFilter(&OnCrash);
    return true;
}();

} // namespace
