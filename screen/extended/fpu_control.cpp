#include "screen/extended/fpu_control.h"

#include <cfenv>
#ifdef _WIN32
#include <float.h>  // _controlfp
#endif

void setExtendedPrecision() {
  std::fesetround(FE_TONEAREST);
#ifdef _WIN32
#if defined(__i386__)
  _controlfp(_RC_NEAR | _PC_64, _MCW_RC | _MCW_PC);
#else
  // The 64-bit runtime's _controlfp sets only the SSE unit and leaves the x87 precision at
  // the 53 bits Windows starts with; the control word below sets it.
  _controlfp(_RC_NEAR, _MCW_RC);
#endif
#endif
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
  // Precision control bits 8-9 = 11 (64-bit significand), rounding bits 10-11 = 00.
  uint16_t word = x87ControlWord();
  word = static_cast<uint16_t>((word & ~0x0F00u) | 0x0300u);
  __asm__ volatile("fldcw %0" : : "m"(word));
#endif
}

uint16_t x87ControlWord() {
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
  uint16_t word = 0;
  __asm__ volatile("fnstcw %0" : "=m"(word));
  return word;
#else
  return 0;
#endif
}
