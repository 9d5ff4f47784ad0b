#include "platform/win32/directx_keyboard.h"

#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

#include "platform/win32/directx_key_state.h"

namespace {
using Create8Fn = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, LPVOID*, LPUNKNOWN);
using CreateFn = HRESULT(WINAPI*)(HINSTANCE, DWORD, LPDIRECTINPUTA*, LPUNKNOWN);

// The standard keyboard data format, built here because the import library's copy would tie
// the program to the DLL at load time: 256 optional buttons, one byte each.
const DIDATAFORMAT& keyboardFormat() {
  static DIOBJECTDATAFORMAT objects[256];
  static DIDATAFORMAT format;
  static bool built = false;
  if (!built) {
    for (DWORD i = 0; i < 256; ++i)
      objects[i] = DIOBJECTDATAFORMAT{&GUID_Key, i,
                                      DIDFT_BUTTON | DIDFT_MAKEINSTANCE(i) | DIDFT_OPTIONAL, 0};
    format = DIDATAFORMAT{
        sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 256, objects};
    built = true;
  }
  return format;
}

template <typename Device>
bool prepare(Device* device, HWND window) {
  return SUCCEEDED(device->SetDataFormat(&keyboardFormat())) &&
         SUCCEEDED(device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND));
}

template <typename Device>
bool readState(Device* device, std::array<uint8_t, 256>& state) {
  HRESULT r = device->GetDeviceState(static_cast<DWORD>(state.size()), state.data());
  if (r == DIERR_INPUTLOST || r == DIERR_NOTACQUIRED) {
    if (FAILED(device->Acquire())) return false;
    r = device->GetDeviceState(static_cast<DWORD>(state.size()), state.data());
  }
  return SUCCEEDED(r);
}

template <typename Device>
void releaseDevice(Device*& device) {
  if (!device) return;
  device->Unacquire();
  device->Release();
  device = nullptr;
}

template <typename Interface>
void release(Interface*& object) {
  if (object) object->Release();
  object = nullptr;
}
}  // namespace

bool DirectInputKeyboard::open(HWND window) {
  close();
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  if ((library_ = LoadLibraryA("dinput8.dll"))) {
    auto create = reinterpret_cast<Create8Fn>(
        reinterpret_cast<void*>(GetProcAddress(library_, "DirectInput8Create")));
    if (create &&
        SUCCEEDED(create(instance, 0x0800, IID_IDirectInput8A, reinterpret_cast<LPVOID*>(&input8_),
                         nullptr)) &&
        SUCCEEDED(input8_->CreateDevice(GUID_SysKeyboard, &device8_, nullptr)) &&
        prepare(device8_, window)) {
      device8_->Acquire();
      return true;
    }
    close();
  }
  if ((library_ = LoadLibraryA("dinput.dll"))) {
    auto create = reinterpret_cast<CreateFn>(
        reinterpret_cast<void*>(GetProcAddress(library_, "DirectInputCreateA")));
    if (create && SUCCEEDED(create(instance, 0x0500, &input_, nullptr)) &&
        SUCCEEDED(input_->CreateDevice(GUID_SysKeyboard, &device_, nullptr)) &&
        prepare(device_, window)) {
      device_->Acquire();
      return true;
    }
    close();
  }
  return false;
}

void DirectInputKeyboard::close() {
  releaseDevice(device8_);
  releaseDevice(device_);
  release(input8_);
  release(input_);
  if (library_) FreeLibrary(library_);
  library_ = nullptr;
}

bool DirectInputKeyboard::read(std::array<uint8_t, 128>& keyState) {
  std::array<uint8_t, 256> state{};
  const bool ok = device8_  ? readState(device8_, state)
                  : device_ ? readState(device_, state)
                            : false;
  if (ok) foldDeviceKeyState(state, keyState);
  return ok;
}
