// The process's top-level fault filter: an access violation goes to the SIGSEGV handler and
// the arithmetic faults to the SIGFPE handler, when one is installed; the rest is passed on.
#pragma once
#include <windows.h>

// Returns EXCEPTION_CONTINUE_EXECUTION when a handler (or the ignore marker) took the
// fault, else EXCEPTION_CONTINUE_SEARCH.
LONG WINAPI faultFilter(EXCEPTION_POINTERS* info);
// Installs faultFilter with SetUnhandledExceptionFilter.
void installFaultFilter();
