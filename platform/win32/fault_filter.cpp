#include "platform/win32/fault_filter.h"

#include <float.h>  // _fpreset

#include <csignal>

namespace {
struct FaultSignal {
  int signal = 0;  // 0: not one of ours
  bool floatingPoint = false;
};

FaultSignal signalFor(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return {SIGSEGV, false};
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_UNDERFLOW: return {SIGFPE, true};
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return {SIGFPE, false};
    default: return {};
  }
}
}  // namespace

LONG WINAPI faultFilter(EXCEPTION_POINTERS* info) {
  if (!info || !info->ExceptionRecord) return EXCEPTION_CONTINUE_SEARCH;
  const FaultSignal fault = signalFor(info->ExceptionRecord->ExceptionCode);
  if (fault.signal == 0) return EXCEPTION_CONTINUE_SEARCH;
  // The runtime has no query of its own: setting the default returns what was there.
  const auto handler = std::signal(fault.signal, SIG_DFL);
  if (handler == SIG_IGN) {
    std::signal(fault.signal, SIG_IGN);
    if (fault.floatingPoint) _fpreset();
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  if (handler == SIG_DFL || handler == SIG_ERR) return EXCEPTION_CONTINUE_SEARCH;
  // Like a delivered signal, the handler is reset to the default before it runs.
  handler(fault.signal);
  return EXCEPTION_CONTINUE_EXECUTION;
}

void installFaultFilter() { SetUnhandledExceptionFilter(faultFilter); }
