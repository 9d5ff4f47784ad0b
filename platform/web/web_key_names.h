// The browser's physical key names (KeyboardEvent.code) mapped to PC set-1 scan codes, with
// the extended flag the grey keys, keypad Enter and keypad slash carry on a PC keyboard.
#pragma once
#include <string_view>

struct WebScanCode {
  int code = 0;  // 0: the key has no PC scan code
  bool extended = false;
};

WebScanCode scanCodeOfKeyName(std::string_view keyName);
