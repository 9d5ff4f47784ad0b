// Display back ends: records of eleven operations chosen at run time by the mode set.
// Each platform registers its windowed back ends from one table; Null belongs to the mode set.
#pragma once
#include <vector>

struct DisplayModeSize {
  int width;
  int height;
};

// Operations a back end does not have stay null; the mode set skips them.
struct Backend {
  const char* name = nullptr;
  // Returns 0 on success.
  int (*start)(const char* title, int width, int height, int depth, int refreshRate,
               int flags) = nullptr;
  void (*shutdown)() = nullptr;
  void (*lock)() = nullptr;
  void (*unlock)() = nullptr;
  void (*setPaletteEntry)(int index, int red, int green, int blue) = nullptr;
  void (*waitVerticalSync)() = nullptr;
  int (*getMouse)(int* x, int* y, int* wheel, int* buttons) = nullptr;  // 0 when over the screen
  void (*setMouse)(int x, int y, int cursorVisible) = nullptr;
  void (*setWindowTitle)(const char* text) = nullptr;
  std::vector<DisplayModeSize> (*listModes)(int depth) = nullptr;
  void (*flip)() = nullptr;
};

// Mode-set flags.
inline constexpr int kFlagFullScreen = 1;
inline constexpr int kFlagOpenGL = 2;
inline constexpr int kFlagNoSwitch = 4;
inline constexpr int kFlagNullBackend = -1;
inline constexpr int kFlagClosing = static_cast<int>(0x80000000u);

const Backend& nullBackend();

// The windowed back ends in the order the chooser tries them (platform entry fills it).
void registerWindowedBackend(const Backend* backend);
void clearWindowedBackends();
const std::vector<const Backend*>& windowedBackends();

// Chooses and starts a back end for the request; null when none starts. `preference` is
// the QXGFX value or null. Attempts are recorded for tests through `attempts` when given.
struct BackendAttempt {
  const Backend* backend;
  int refreshRate;
  int flags;
};
const Backend* chooseBackend(const char* preference, const char* title, int width, int height,
                             int depth, int refreshRate, int flags,
                             std::vector<BackendAttempt>* attempts = nullptr);
