// The process-wide error code: 0 success, 1 invalid argument or state, 3 input/output
// failure, 4 out of memory.
#pragma once
#include <cstdint>

inline constexpr int32_t kErrorNone = 0;
inline constexpr int32_t kErrorInvalid = 1;
inline constexpr int32_t kErrorIo = 3;
inline constexpr int32_t kErrorNoMemory = 4;

int32_t setLastError(int32_t code);  // returns code
