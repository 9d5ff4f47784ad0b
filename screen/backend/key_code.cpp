#include "screen/backend/key_code.h"

std::string keyTextOfCode(int32_t code) {
  if (code == 0) return std::string();
  if (code >= 1 && code <= 255) return std::string(1, static_cast<char>(code));
  return std::string{static_cast<char>(0xFF), static_cast<char>(scanCodeOf(code))};
}

int32_t keyCodeOfText(const std::string& keyText) {
  if (keyText.empty()) return 0;
  if (keyText.size() == 1) return static_cast<unsigned char>(keyText[0]);
  return extendedKey(static_cast<unsigned char>(keyText[1]));
}
