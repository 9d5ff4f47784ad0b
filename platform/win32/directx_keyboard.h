// The system keyboard through DirectInput, loaded at run time from dinput8.dll or dinput.dll,
// read once per presentation-loop iteration for the key-state array. Presentation thread only.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>

class DirectInputKeyboard {
 public:
  DirectInputKeyboard() = default;
  DirectInputKeyboard(const DirectInputKeyboard&) = delete;
  DirectInputKeyboard& operator=(const DirectInputKeyboard&) = delete;
  ~DirectInputKeyboard() { close(); }

  // Opens the keyboard for the window, without exclusive access. False when neither library
  // serves a keyboard; the back end then runs without key states.
  bool open(HWND window);
  void close();
  bool isOpen() const { return device8_ != nullptr || device_ != nullptr; }
  // Fills keyState from the device; a lost device is acquired again. False when it cannot be
  // read this time (the window is not focused, for example): keyState is then left as it was.
  bool read(std::array<uint8_t, 128>& keyState);

 private:
  HMODULE library_ = nullptr;
  struct IDirectInput8A* input8_ = nullptr;
  struct IDirectInputDevice8A* device8_ = nullptr;
  struct IDirectInputA* input_ = nullptr;
  struct IDirectInputDeviceA* device_ = nullptr;
};
