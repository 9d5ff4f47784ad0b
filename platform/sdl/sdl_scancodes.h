// SDL's physical key positions (USB usage numbers) mapped to PC set-1 scan codes, with the
// extended flag the grey keys, keypad Enter and keypad slash carry on a PC keyboard.
#pragma once

struct PcScanCode {
  int code = 0;  // 0: the key has no PC scan code
  bool extended = false;
};

PcScanCode pcScanCode(int sdlScancode);
