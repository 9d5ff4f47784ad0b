#include "platform/win32/directx_key_state.h"

void foldDeviceKeyState(const std::array<uint8_t, 256>& deviceState,
                        std::array<uint8_t, 128>& keyState) {
  for (std::size_t i = 0; i < 128; ++i)
    keyState[i] = ((deviceState[i] | deviceState[i + 128]) & 0x80) ? 1 : 0;
}
