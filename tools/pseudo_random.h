// A fixed pseudo-random sequence (xorshift), the same on every processor: for drawings and
// comparisons that builds for different processors must repeat exactly.
#pragma once
#include <cstdint>

struct PseudoRandom {
  uint64_t state = 0x2545F4914F6CDD1D;
  uint64_t next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
  // A coordinate with three decimals in [low, low + span), made by one single-precision
  // division.
  float coordinate(int64_t low, int64_t span) {
    const auto thousandths = static_cast<int64_t>(next() % static_cast<uint64_t>(span * 1000));
    return static_cast<float>(low * 1000 + thousandths) / 1000.0f;
  }
};
