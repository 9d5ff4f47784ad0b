// The line editor fed any key-code stream from any starting cell: the line it keeps must be
// the one a plain model of its editing keys builds, and the cursor must stay on the screen.
#pragma once
#include <cstdint>
#include <deque>
#include <string>

#include "fuzz/fuzz_input.h"
#include "screen/backend/backend_port.h"
#include "screen/keys/line_entry.h"
#include "screen/screen.h"

namespace {
constexpr int32_t kHome = 0x47FF, kEnd = 0x4FFF, kLeft = 0x4BFF, kRight = 0x4DFF, kUp = 0x48FF,
                  kDown = 0x50FF, kDelete = 0x53FF;
// Bytes from 0xF0 up stand for extended keys, so the editing keys come up often.
constexpr int32_t kExtended[16] = {kHome, kEnd,   kLeft,  kRight, kUp,    kDown,  kDelete, 0x6BFF,
                                   kLeft, kRight, 0x3BFF, 0x52FF, 0x49FF, 0x51FF, 0x86FF,  kDelete};

std::deque<int32_t> pendingKeys;

void handOverKeys() {
  while (!pendingKeys.empty() && queuedKeyCount() < 15) {
    queueKey(pendingKeys.front());
    pendingKeys.pop_front();
  }
}

// What the editor must keep for the codes, up to and without the first Enter.
std::string modelLine(const std::deque<int32_t>& codes, int width) {
  std::string s;
  size_t pos = 0;
  const auto w = static_cast<size_t>(width);
  for (const int32_t code : codes) {
    switch (code) {
      case 13:
      case 10: return s;
      case 8:
        if (pos > 0) s.erase(--pos, 1);
        break;
      case 9: {
        const size_t blanks = ((pos + 8) & ~size_t{7}) - pos;
        s.insert(pos, blanks, ' ');
        pos += blanks;
        break;
      }
      case 27: s.clear(), pos = 0; break;
      case kHome: pos = 0; break;
      case kEnd: pos = s.size(); break;
      case kLeft:
        if (pos > 0) --pos;
        break;
      case kRight:
        if (pos < s.size()) ++pos;
        break;
      case kUp:
        if (pos >= w) pos -= w;
        break;
      case kDown:
        if (pos + w <= s.size()) pos += w;
        break;
      case kDelete:
        if (pos < s.size()) s.erase(pos, 1);
        break;
      default:
        if (code >= 32 && code <= 255) s.insert(pos++, 1, static_cast<char>(code));
        break;
    }
  }
  return s;
}
}  // namespace

inline int lineEditorFuzzOne(const uint8_t* data, size_t size) {
  prepareFuzzScreen();
  onFuzzSleep = handOverKeys;
  FuzzInput input(data, size);
  setTextView(1, 48);
  const int32_t row = 1 + input.take<uint8_t>() % 48, column = 1 + input.take<uint8_t>() % 128;
  locate(row, column, -1);
  while (!readKey().empty()) {}
  pendingKeys.clear();
  while (!input.empty()) {
    const uint8_t byte = input.take<uint8_t>();
    if (byte == 0) continue;
    pendingKeys.push_back(byte >= 0xF0 ? kExtended[byte - 0xF0] : byte);
  }
  pendingKeys.push_back(13);
  const std::string expected = modelLine(pendingKeys, textSize().columns);

  inputLine("", 0, static_cast<int32_t>(size & 1));
  if (enteredLine.text != expected) FUZZ_FAIL();
  const TextPosition cursor = cursorPosition();
  if (cursor.row < 1 || cursor.row > 48 || cursor.column < 1 || cursor.column > 128) FUZZ_FAIL();
  // Keys after the first Enter stay queued for whoever reads next; drop them.
  pendingKeys.clear();
  while (!readKey().empty()) {}
  onFuzzSleep = nullptr;
  return 0;
}
