// Terminal input of any bytes, cut into reads at any points and with any pauses: every key
// code is a character or an extended key, and after the Escape timeout nothing is pending.
#pragma once
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "platform/terminal/terminal_keys.h"
#include "screen/backend/key_code.h"

inline int terminalKeysFuzzOne(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  TerminalKeyParser parser;
  std::vector<int32_t> codes;
  long long now = 0;
  while (!input.empty()) {
    // Each read: a length byte, a pause byte (ms), then that many bytes.
    const size_t length = input.take<uint8_t>() % 32;
    now += input.take<uint8_t>() % 64;
    parser.tick(now, codes);
    parser.feed(input.text(length), now, codes);
  }
  parser.tick(now + kEscapeTimeoutMs, codes);
  if (!parser.idle()) FUZZ_FAIL();
  for (const int32_t code : codes) {
    const bool character = code >= 1 && code <= 255;
    const bool extended = isExtendedKey(code);
    if (!character && !extended) FUZZ_FAIL();
  }
  return 0;
}
