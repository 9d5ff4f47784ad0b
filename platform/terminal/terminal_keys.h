// Reads what a terminal sends for key presses: control characters, UTF-8 text and the CSI
// and SS3 escape sequences of the cursor, editing and function keys with their modifiers,
// and turns them into the screen's key codes through the shared translation tables.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A lone Escape is told from the start of a sequence by this much silence.
inline constexpr long long kEscapeTimeoutMs = 50;

class TerminalKeyParser {
 public:
  // Appends the key codes the bytes complete. Bytes may arrive in any split; `nowMs` is a
  // steady clock used only for the Escape timeout.
  void feed(std::string_view bytes, long long nowMs, std::vector<int32_t>& codes);
  // Completes what has waited kEscapeTimeoutMs or longer: a lone Escape, an Alt key whose
  // sequence never went on, a broken UTF-8 character.
  void tick(long long nowMs, std::vector<int32_t>& codes);
  bool idle() const { return state_ == State::Ground; }

 private:
  enum class State { Ground, Escape, EscapeEscape, Csi, CsiBracket, Ss3, Utf8 };
  void ground(unsigned char byte, std::vector<int32_t>& codes);
  void escape(unsigned char byte, std::vector<int32_t>& codes);
  void csi(unsigned char byte, std::vector<int32_t>& codes);
  void ss3(unsigned char byte, std::vector<int32_t>& codes);
  void utf8(unsigned char byte, std::vector<int32_t>& codes);
  void finishCsi(unsigned char final, std::vector<int32_t>& codes);

  State state_ = State::Ground;
  long long since_ = 0;     // when the unfinished sequence began
  bool altPrefix_ = false;  // an Escape came before the sequence
  std::string parameters_;  // CSI parameter bytes, at most kMaxParameters
  bool intermediate_ = false;
  bool overflow_ = false;
  int ss3Modifier_ = 1;
  std::string utf8Bytes_;  // the character read so far
};
