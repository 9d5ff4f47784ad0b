// The SDL back end's translation layers (scan codes, key events, surface formats) and its start
// on a private Xvfb: window size and title, keys from real X events, no-display failure.
#include <gtest/gtest.h>

#include <SDL.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_key_events.h"
#include "platform/sdl/sdl_scancodes.h"
#include "platform/sdl/sdl_surface_format.h"
#include "screen/backend/backend_port.h"
#include "screen/screen.h"

extern char** environ;

namespace {
struct ScanCase {
  SDL_Scancode sdl;
  int code;
  bool extended;
};

TEST(SdlScanCodes, PhysicalKeysGivePcSetOneCodes) {
  const ScanCase cases[] = {
      {SDL_SCANCODE_A, 0x1E, false},        {SDL_SCANCODE_Z, 0x2C, false},
      {SDL_SCANCODE_1, 0x02, false},        {SDL_SCANCODE_0, 0x0B, false},
      {SDL_SCANCODE_LEFT, 0x4B, true},      {SDL_SCANCODE_KP_4, 0x4B, false},
      {SDL_SCANCODE_HOME, 0x47, true},      {SDL_SCANCODE_KP_7, 0x47, false},
      {SDL_SCANCODE_DELETE, 0x53, true},    {SDL_SCANCODE_KP_PERIOD, 0x53, false},
      {SDL_SCANCODE_KP_ENTER, 0x1C, true},  {SDL_SCANCODE_RETURN, 0x1C, false},
      {SDL_SCANCODE_KP_DIVIDE, 0x35, true}, {SDL_SCANCODE_SLASH, 0x35, false},
      {SDL_SCANCODE_RCTRL, 0x1D, true},     {SDL_SCANCODE_RALT, 0x38, true},
      {SDL_SCANCODE_F10, 0x44, false},      {SDL_SCANCODE_F11, 0x57, false},
      {SDL_SCANCODE_F12, 0x58, false},      {SDL_SCANCODE_UNKNOWN, 0, false},
  };
  for (const ScanCase& c : cases) {
    const PcScanCode pc = pcScanCode(c.sdl);
    EXPECT_EQ(pc.code, c.code) << SDL_GetScancodeName(c.sdl);
    EXPECT_EQ(pc.extended, c.extended) << SDL_GetScancodeName(c.sdl);
  }
  EXPECT_EQ(pcScanCode(-1).code, 0);
  EXPECT_EQ(pcScanCode(SDL_NUM_SCANCODES).code, 0);
}

SDL_KeyboardEvent keyDown(SDL_Scancode scancode, SDL_Keycode sym, uint16_t mod) {
  SDL_KeyboardEvent e{};
  e.type = SDL_KEYDOWN;
  e.state = SDL_PRESSED;
  e.keysym.scancode = scancode;
  e.keysym.sym = sym;
  e.keysym.mod = mod;
  return e;
}

struct KeyCase {
  const char* name;
  SDL_Scancode scancode;
  SDL_Keycode sym;
  uint16_t mod;
  std::vector<int32_t> queued;
  bool toggles;
};

TEST(SdlKeyEvents, KeyDownsQueueBiosCodesAndControlCharacters) {
  const KeyCase cases[] = {
      {"Left", SDL_SCANCODE_LEFT, SDLK_LEFT, KMOD_NONE, {0x4BFF}, false},
      {"Home", SDL_SCANCODE_HOME, SDLK_HOME, KMOD_NONE, {0x47FF}, false},
      {"Delete", SDL_SCANCODE_DELETE, SDLK_DELETE, KMOD_NONE, {0x53FF}, false},
      {"Ctrl+Left", SDL_SCANCODE_LEFT, SDLK_LEFT, KMOD_LCTRL, {0x73FF}, false},
      {"Caps Lock does not count", SDL_SCANCODE_UP, SDLK_UP, KMOD_CAPS | KMOD_NUM, {0x48FF}, false},
      {"Enter", SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE, {13}, false},
      {"Ctrl+Enter", SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_RCTRL, {10}, false},
      {"keypad Enter", SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, KMOD_NONE, {13}, false},
      {"Backspace", SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, KMOD_NONE, {8}, false},
      {"Tab", SDL_SCANCODE_TAB, SDLK_TAB, KMOD_NONE, {9}, false},
      {"Escape", SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_NONE, {27}, false},
      {"Alt+Enter switches", SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT, {}, true},
      {"F1", SDL_SCANCODE_F1, SDLK_F1, KMOD_NONE, {0x3BFF}, false},
      {"Shift+F1", SDL_SCANCODE_F1, SDLK_F1, KMOD_LSHIFT, {0x54FF}, false},
      {"Alt+F4 is the close request", SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT, {0x6BFF}, false},
      {"F12", SDL_SCANCODE_F12, SDLK_F12, KMOD_NONE, {0x86FF}, false},
      {"a comes as text", SDL_SCANCODE_A, SDLK_a, KMOD_NONE, {}, false},
      {"space comes as text", SDL_SCANCODE_SPACE, SDLK_SPACE, KMOD_NONE, {}, false},
      {"Alt+a", SDL_SCANCODE_A, SDLK_a, KMOD_LALT, {0x1EFF}, false},
      {"Ctrl+c", SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL, {3}, false},
      {"keypad 8, NumLock off", SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NONE, {0x48FF}, false},
      {"keypad 8, NumLock on", SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NUM, {}, false},
  };
  for (const KeyCase& c : cases) {
    std::vector<int32_t> queued;
    const bool toggles = translateSdlKeyDown(keyDown(c.scancode, c.sym, c.mod), c.mod,
                                             [&](int32_t code) { queued.push_back(code); });
    EXPECT_EQ(queued, c.queued) << c.name;
    EXPECT_EQ(toggles, c.toggles) << c.name;
  }
}

TEST(SdlKeyEvents, TypedTextBecomesCodePage437) {
  struct TextCase {
    const char* utf8;
    uint16_t mod;
    std::vector<int32_t> queued;
  };
  const TextCase cases[] = {
      {"12", KMOD_NONE, {'1', '2'}},
      {"\xC3\xA9", KMOD_NONE, {0x82}},          // é
      {"\xE2\x82\xAC", KMOD_NONE, {'?'}},       // € has no code page 437 equivalent
      {"\xC3\xB1 ", KMOD_LSHIFT, {0xA4, ' '}},  // ñ and a blank
      {"a", KMOD_LALT, {}},                     // Alt+a is the key 0x1EFF, not text
      {"@", KMOD_RALT, {'@'}},                  // AltGr gives characters
  };
  for (const TextCase& c : cases) {
    std::vector<int32_t> queued;
    translateSdlText(c.utf8, c.mod, [&](int32_t code) { queued.push_back(code); });
    EXPECT_EQ(queued, c.queued) << c.utf8;
  }
}

TEST(SdlKeyEvents, KeyStateFollowsPressedPositions) {
  std::vector<uint8_t> sdlState(SDL_NUM_SCANCODES, 0);
  sdlState[SDL_SCANCODE_A] = 1;
  sdlState[SDL_SCANCODE_UP] = 1;
  std::array<uint8_t, 128> keyState{};
  keyState[0x10] = 1;  // a key released since the last refresh
  fillKeyState(sdlState.data(), static_cast<int>(sdlState.size()), keyState);
  for (int code = 0; code < 128; ++code)
    EXPECT_EQ(keyState[static_cast<size_t>(code)], (code == 0x1E || code == 0x48) ? 1 : 0) << code;
}

// The window surface's format handed to the shared row converter: the pixel's whole size
// in bits, its channel masks, and no format for a palette surface.
TEST(SdlSurfaceFormat, WindowFormatsReachTheConverterWithTheirMasks) {
  struct Case {
    Uint32 format;
    SurfacePixelFormat expected;
    bool served;
  };
  const Case cases[] = {
      {SDL_PIXELFORMAT_RGB888, {32, 0xFF0000, 0x00FF00, 0x0000FF, 0}, true},
      {SDL_PIXELFORMAT_BGR888, {32, 0x0000FF, 0x00FF00, 0xFF0000, 0}, true},
      {SDL_PIXELFORMAT_ARGB8888, {32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000u}, true},
      // Byte arrays: red is the first byte in memory, the lowest on this machine.
      {SDL_PIXELFORMAT_RGB24, {24, 0x0000FF, 0x00FF00, 0xFF0000, 0}, true},
      {SDL_PIXELFORMAT_BGR24, {24, 0xFF0000, 0x00FF00, 0x0000FF, 0}, true},
      {SDL_PIXELFORMAT_RGB565, {16, 0xF800, 0x07E0, 0x001F, 0}, true},
      {SDL_PIXELFORMAT_RGB555, {16, 0x7C00, 0x03E0, 0x001F, 0}, true},
      {SDL_PIXELFORMAT_RGB444, {16, 0x0F00, 0x00F0, 0x000F, 0}, true},
      {SDL_PIXELFORMAT_INDEX8, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(SDL_GetPixelFormatName(c.format));
    SDL_PixelFormat* format = SDL_AllocFormat(c.format);
    ASSERT_NE(format, nullptr);
    const SurfacePixelFormat got = surfaceFormatOf(*format);
    EXPECT_EQ(got.bitCount, c.expected.bitCount);
    EXPECT_EQ(got.redMask, c.expected.redMask);
    EXPECT_EQ(got.greenMask, c.expected.greenMask);
    EXPECT_EQ(got.blueMask, c.expected.blueMask);
    EXPECT_EQ(got.alphaMask, c.expected.alphaMask);
    SurfaceRowConverter converter;
    EXPECT_EQ(converter.configure(16, got, {}), c.served);
    SDL_FreeFormat(format);
  }
}

// Sets or removes environment variables for one test and puts them back afterwards.
class EnvironmentOverride {
 public:
  void set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~EnvironmentOverride() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second)
        setenv(it->first.c_str(), it->second->c_str(), 1);
      else
        unsetenv(it->first.c_str());
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(SdlBackendStart, FailsWithoutARealDisplay) {
  EnvironmentOverride env;
  env.set("DISPLAY", nullptr);
  env.set("WAYLAND_DISPLAY", nullptr);
  env.set("XDG_RUNTIME_DIR", nullptr);
  env.set("SDL_VIDEODRIVER", nullptr);
  const Backend& sdl = sdlBackend();
  EXPECT_NE(sdl.start("test", 1024, 768, 16, 0, kFlagFullScreen), 0);
  sdl.shutdown();
  EXPECT_NE(sdl.start("test", 1024, 768, 16, 0, 0), 0);
  sdl.shutdown();
}

TEST(SdlBackendStart, RefusesTheOpenGlFlagAndOddDepths) {
  const Backend& sdl = sdlBackend();
  EXPECT_NE(sdl.start("test", 1024, 768, 16, 0, kFlagOpenGL), 0);
  EXPECT_NE(sdl.start("test", 1024, 768, 24, 0, 0), 0);
}

// A private X server for the live checks; they are skipped when none can start.
class XvfbSession : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (int n = 170; n < 200 && display_.empty(); ++n) {
      const std::string name = ":" + std::to_string(n);
      if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0) continue;
      std::string screen = "1280x1024x24";
      char* argv[] = {const_cast<char*>("Xvfb"),
                      const_cast<char*>(name.c_str()),
                      const_cast<char*>("-screen"),
                      const_cast<char*>("0"),
                      screen.data(),
                      const_cast<char*>("-nolisten"),
                      const_cast<char*>("tcp"),
                      nullptr};
      if (posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, argv, environ) != 0) return;
      for (int i = 0; i < 50; ++i) {
        if (access(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), F_OK) == 0 &&
            run("DISPLAY=" + name + " xdotool getdisplaygeometry >/dev/null 2>&1")) {
          display_ = name;
          break;
        }
        int status;
        if (waitpid(pid_, &status, WNOHANG) == pid_) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
      if (display_.empty()) stopServer();
    }
  }
  static void TearDownTestSuite() { stopServer(); }
  static void stopServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
  }
  static bool run(const std::string& command) { return std::system(command.c_str()) == 0; }
  static std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[256];
      while (fgets(buffer, sizeof buffer, pipe)) text += buffer;
      pclose(pipe);
    }
    return text;
  }
  void SetUp() override {
    if (display_.empty()) GTEST_SKIP() << "Xvfb cannot start here";
    env_.set("DISPLAY", display_.c_str());
    env_.set("SDL_VIDEODRIVER", nullptr);
    env_.set("QXGFX", nullptr);
    clearWindowedBackends();
    registerWindowedBackend(&sdlBackend());
  }
  void TearDown() override {
    setScreenMode(0, 0, 1, 0, 0);
    clearWindowedBackends();
  }
  std::string xdotool(const std::string& args) {
    return output("DISPLAY=" + display_ + " xdotool " + args + " 2>/dev/null");
  }
  template <typename F>
  bool eventually(F condition, int ms = 5000) {
    for (int waited = 0; waited < ms; waited += 20) {
      if (condition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
  }

  EnvironmentOverride env_;
  static inline std::string display_;
  static inline pid_t pid_ = -1;
};

TEST_F(XvfbSession, TheRequestEndsInACentredWindowWithKeysQueued) {
  char program[] = "/somewhere/co2sim.exe";
  char* argv[] = {program, nullptr};
  startServices(1, argv);
  setScreenMode(20, 16, 8, 1, 0);
  ASSERT_NE(frameBuffer(), nullptr);
  EXPECT_EQ(currentBackend(), &sdlBackend());
  std::string window;
  ASSERT_TRUE(eventually([&] {
    window = xdotool("search --name '^co2sim$'");
    return !window.empty();
  })) << "no window titled co2sim";
  window = window.substr(0, window.find('\n'));
  const std::string geometry = xdotool("getwindowgeometry --shell " + window);
  // Without a window manager nothing carries out the full-screen request: the window keeps
  // the first window's size (the frame's, at scale 1), centred.
  EXPECT_NE(geometry.find("WIDTH=1024\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("HEIGHT=768\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("X=128\n"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("Y=128\n"), std::string::npos) << geometry;

  xdotool("windowfocus --sync " + window);
  xdotool("key --delay 30 Left Home Delete F1 Return");
  xdotool("type --delay 30 '2,5'");
  std::vector<std::string> keys;
  ASSERT_TRUE(eventually([&] {
    for (std::string k = readKey(); !k.empty(); k = readKey()) keys.push_back(k);
    return keys.size() >= 8;
  })) << keys.size()
      << " keys arrived";
  const std::vector<std::string> expected = {"\xFFK", "\xFFG", "\xFFS", "\xFF;",
                                             "\r",    "2",     ",",     "5"};
  EXPECT_EQ(keys, expected);
}
}  // namespace
