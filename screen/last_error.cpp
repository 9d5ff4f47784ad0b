#include "screen/last_error.h"

#include <atomic>

#include "screen/screen.h"

namespace {
std::atomic<int32_t> errorCode{0};
}

int32_t setLastError(int32_t code) {
  errorCode.store(code, std::memory_order_relaxed);
  return code;
}

int32_t lastError() { return errorCode.load(std::memory_order_relaxed); }
