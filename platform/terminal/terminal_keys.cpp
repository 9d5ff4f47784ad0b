#include "platform/terminal/terminal_keys.h"

#include <array>
#include <charconv>

#include "screen/backend/cp437.h"
#include "screen/backend/key_translation.h"
#include "screen/backend/utf8.h"

namespace {
constexpr size_t kMaxParameters = 32;
constexpr unsigned char kEsc = 0x1B;

// PC scan codes of the keys the sequences name.
constexpr int kUp = 0x48, kDown = 0x50, kLeft = 0x4B, kRight = 0x4D, kHome = 0x47, kEnd = 0x4F,
              kPageUp = 0x49, kPageDown = 0x51, kInsert = 0x52, kDelete = 0x53;
constexpr int kF1 = 0x3B, kF11 = 0x57, kF12 = 0x58;

// The scan code whose key gives an ASCII character unshifted or with Shift.
const std::array<int, 128>& scanOfCharacter() {
  static const std::array<int, 128> table = [] {
    std::array<int, 128> t{};
    for (int column = 0; column < 2; ++column)
      for (int scan = 1; scan < 89; ++scan) {
        const int32_t entry = biosTableEntry(scan, column);
        if (entry >= 32 && entry < 127 && t[static_cast<size_t>(entry)] == 0)
          t[static_cast<size_t>(entry)] = scan;
      }
    return t;
  }();
  return table;
}

// xterm's modifier parameter: 1 + (1 Shift, 2 Alt, 4 Ctrl, 8 Meta).
KeyModifiers modifiersOf(int parameter, bool altPrefix) {
  const int bits = parameter > 1 ? parameter - 1 : 0;
  KeyModifiers m;
  m.shift = (bits & 1) != 0;
  m.alt = (bits & 2) != 0 || (bits & 8) != 0 || altPrefix;
  m.ctrl = (bits & 4) != 0;
  return m;
}

void emitKey(int scan, bool extended, KeyModifiers mods, std::vector<int32_t>& codes) {
  const int32_t code = translateKeyDown(scan, extended, mods, kNoCharacter);
  if (code >= 256) codes.push_back(code);
}

// Alt with a key that has a character: the table's Alt entry when the key is the one that
// gives the character, else the character the table has for Alt (Alt+Space is a blank).
void emitAlt(int scan, int character, std::vector<int32_t>& codes) {
  KeyModifiers alt;
  alt.alt = true;
  const int32_t code = translateKeyDown(scan, false, alt, character);
  if (code >= 256) {
    codes.push_back(code);
    return;
  }
  const int32_t entry = biosTableEntry(scan, 3);
  if (entry > 0 && entry < 256) codes.push_back(entry);
}

int grayKeyOfFinal(unsigned char final) {
  switch (final) {
    case 'A': return kUp;
    case 'B': return kDown;
    case 'C': return kRight;
    case 'D': return kLeft;
    case 'H': return kHome;
    case 'F': return kEnd;
    default: return 0;
  }
}

int grayKeyOfNumber(int n) {
  switch (n) {
    case 1:
    case 7: return kHome;
    case 2: return kInsert;
    case 3: return kDelete;
    case 4:
    case 8: return kEnd;
    case 5: return kPageUp;
    case 6: return kPageDown;
    default: return 0;
  }
}

int functionKeyOfNumber(int n) {
  if (n >= 11 && n <= 15) return kF1 + (n - 11);      // F1-F5
  if (n >= 17 && n <= 21) return kF1 + 5 + (n - 17);  // F6-F10
  if (n == 23) return kF11;
  if (n == 24) return kF12;
  return 0;
}

// The first two numbers of a parameter string "a;b"; missing ones are 1, absurd ones 0.
void parseParameters(std::string_view text, int& first, int& second) {
  int values[2] = {1, 1};
  size_t index = 0;
  size_t start = 0;
  while (index < 2 && start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view field = text.substr(start, end - start);
    if (!field.empty()) {
      int value = 0;
      const auto result = std::from_chars(field.data(), field.data() + field.size(), value);
      values[index] =
          (result.ec == std::errc{} && result.ptr == field.data() + field.size()) ? value : 0;
    }
    ++index;
    start = end + 1;
  }
  first = values[0];
  second = values[1];
}
}  // namespace

void TerminalKeyParser::feed(std::string_view bytes, long long nowMs, std::vector<int32_t>& codes) {
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (state_ == State::Ground) since_ = nowMs;
    switch (state_) {
      case State::Ground: ground(byte, codes); break;
      case State::Escape:
      case State::EscapeEscape: escape(byte, codes); break;
      case State::Csi:
      case State::CsiBracket: csi(byte, codes); break;
      case State::Ss3: ss3(byte, codes); break;
      case State::Utf8: utf8(byte, codes); break;
    }
  }
}

void TerminalKeyParser::tick(long long nowMs, std::vector<int32_t>& codes) {
  if (state_ == State::Ground || nowMs - since_ < kEscapeTimeoutMs) return;
  switch (state_) {
    case State::Escape: codes.push_back(27); break;
    case State::EscapeEscape: codes.push_back(27), codes.push_back(27); break;
    // ESC [ and ESC O alone were Alt with those keys.
    case State::Csi:
      if (parameters_.empty() && !intermediate_ && !altPrefix_)
        emitAlt(scanOfCharacter()['['], '[', codes);
      break;
    case State::Ss3:
      if (!altPrefix_ && ss3Modifier_ == 1) emitAlt(scanOfCharacter()['O'], 'O', codes);
      break;
    case State::Utf8: codes.push_back('?'); break;
    default: break;
  }
  state_ = State::Ground;
}

void TerminalKeyParser::ground(unsigned char byte, std::vector<int32_t>& codes) {
  altPrefix_ = false;
  if (byte == kEsc) {
    state_ = State::Escape;
    return;
  }
  if (byte >= 0x80) {
    if (utf8LeadLength(byte) == 0) {
      codes.push_back('?');
      return;
    }
    utf8Bytes_.assign(1, static_cast<char>(byte));
    state_ = State::Utf8;
    return;
  }
  switch (byte) {
    case 0: codes.push_back(0x03FF); return;  // Ctrl+Space and Ctrl+2 send NUL
    case 0x7F: codes.push_back(8); return;    // the Backspace key
    default: codes.push_back(byte); return;   // Enter 13, Ctrl+Enter 10, Tab 9, text
  }
}

void TerminalKeyParser::escape(unsigned char byte, std::vector<int32_t>& codes) {
  const bool doubled = state_ == State::EscapeEscape;
  if (byte == '[' || byte == 'O') {
    altPrefix_ = doubled;
    parameters_.clear();
    intermediate_ = overflow_ = false;
    ss3Modifier_ = 1;
    state_ = byte == '[' ? State::Csi : State::Ss3;
    return;
  }
  if (doubled) codes.push_back(27);
  state_ = State::Ground;
  if (byte == kEsc) {
    // ESC ESC [ ... is Alt with a key that sends a sequence.
    state_ = State::EscapeEscape;
    return;
  }
  if (byte >= 0x20 && byte < 0x7F) {
    emitAlt(scanOfCharacter()[byte], byte, codes);
    return;
  }
  // Alt with Enter, Tab and Backspace; any other byte ends the Escape as a key of its own.
  const int scan = byte == 13 ? 0x1C : byte == 9 ? 0x0F : (byte == 0x7F || byte == 8) ? 0x0E : 0;
  if (scan != 0) {
    emitAlt(scan, byte == 0x7F ? 8 : byte, codes);
    return;
  }
  codes.push_back(27);
  ground(byte, codes);
}

void TerminalKeyParser::csi(unsigned char byte, std::vector<int32_t>& codes) {
  if (state_ == State::CsiBracket) {
    // The Linux console's F1-F5: ESC [ [ A to E.
    state_ = State::Ground;
    if (byte >= 'A' && byte <= 'E') {
      emitKey(kF1 + (byte - 'A'), false, modifiersOf(1, altPrefix_), codes);
      return;
    }
    if (byte == kEsc) state_ = State::Escape;
    return;
  }
  if (byte >= 0x30 && byte <= 0x3F) {
    if (parameters_.size() < kMaxParameters)
      parameters_ += static_cast<char>(byte);
    else
      overflow_ = true;
    return;
  }
  if (byte >= 0x20 && byte <= 0x2F) {
    intermediate_ = true;
    return;
  }
  if (byte >= 0x40 && byte <= 0x7E) {
    state_ = State::Ground;
    if (byte == '[' && parameters_.empty() && !intermediate_) {
      state_ = State::CsiBracket;
      return;
    }
    if (!overflow_ && !intermediate_) finishCsi(byte, codes);
    return;
  }
  // A control character or a byte above 0x7E breaks the sequence off; the byte is its own.
  state_ = State::Ground;
  if (byte == kEsc) {
    state_ = State::Escape;
    return;
  }
  ground(byte, codes);
}

void TerminalKeyParser::finishCsi(unsigned char final, std::vector<int32_t>& codes) {
  // Private sequences (mouse reports, replies) start with one of < = > ?.
  if (!parameters_.empty() && parameters_[0] >= 0x3C) return;
  int first = 1, second = 1;
  parseParameters(parameters_, first, second);
  if (final == '~') {
    const KeyModifiers mods = modifiersOf(second, altPrefix_);
    if (const int gray = grayKeyOfNumber(first))
      emitKey(gray, true, mods, codes);
    else if (const int function = functionKeyOfNumber(first))
      emitKey(function, false, mods, codes);
    return;
  }
  // With parameters the first is 1 and the second the modifier (ESC [ 1 ; 5 A).
  const KeyModifiers mods = modifiersOf(parameters_.empty() ? 1 : second, altPrefix_);
  if (const int gray = grayKeyOfFinal(final)) {
    emitKey(gray, true, mods, codes);
  } else if (final >= 'P' && final <= 'S') {
    emitKey(kF1 + (final - 'P'), false, mods, codes);
  } else if (final == 'Z') {
    KeyModifiers shift = mods;
    shift.shift = true;
    const int32_t code = translateKeyDown(0x0F, false, shift, 9);  // Shift+Tab
    if (code >= 256) codes.push_back(code);
  }
}

void TerminalKeyParser::ss3(unsigned char byte, std::vector<int32_t>& codes) {
  if (byte >= '0' && byte <= '9') {
    ss3Modifier_ = byte - '0';
    return;
  }
  state_ = State::Ground;
  const KeyModifiers mods = modifiersOf(ss3Modifier_, altPrefix_);
  if (const int gray = grayKeyOfFinal(byte)) {
    emitKey(gray, true, mods, codes);
    return;
  }
  if (byte >= 'P' && byte <= 'S') {
    emitKey(kF1 + (byte - 'P'), false, mods, codes);
    return;
  }
  // The keypad in application mode.
  if (byte == 'M') {
    codes.push_back(13);
    return;
  }
  static constexpr std::string_view kKeypad = "*+,-./0123456789";  // SS3 j to y
  if (byte >= 'j' && byte <= 'y') {
    codes.push_back(kKeypad[static_cast<size_t>(byte - 'j')]);
    return;
  }
  if (byte == kEsc) {
    state_ = State::Escape;
    return;
  }
  if (byte < 0x20 || byte >= 0x7F) ground(byte, codes);
}

void TerminalKeyParser::utf8(unsigned char byte, std::vector<int32_t>& codes) {
  utf8Bytes_ += static_cast<char>(byte);
  const Utf8Character decoded = decodeUtf8(utf8Bytes_, 0);
  if (decoded.length < utf8Bytes_.size()) {
    // The byte cannot go on with the character: the broken part is one '?', the byte is read
    // afresh.
    codes.push_back('?');
    state_ = State::Ground;
    ground(byte, codes);
    return;
  }
  if (utf8Bytes_.size() < utf8LeadLength(static_cast<unsigned char>(utf8Bytes_[0]))) return;
  state_ = State::Ground;
  const uint8_t code =
      decoded.valid ? unicodeToCp437(decoded.character) : static_cast<uint8_t>('?');
  codes.push_back(code != 0 ? code : '?');
}
