// The window machinery shared by the Windows back ends: window state, class, screen saver,
// the shared message handling, and their hooks into the common presentation thread.
#pragma once
#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "screen/backend/backend_port.h"

struct WindowState;

// How a back end plugs into the machinery. All hooks run on the presentation thread with the
// screen lock held (the lock is recursive, so a hook may call the lock functions below).
//
// A back end's `start` calls startPresentation(...) with its hooks; its `shutdown` calls
// stopPresentation(). The machinery then:
//   - zeroes the window state, saves and switches off the screen saver, registers the class;
//   - starts the presentation thread (platform/common/presentation_thread.h), which calls
//     `build` and raises its own priority; the start fails when `build` fails;
//   - loops while running: lock; a requested switch (below); `present` (when a screen exists,
//     at most every 10 ms while rows wait); `refreshKeyState` (when active); dispatch window
//     messages; unlock; sleep up to 10 ms;
//   - performs a requested window/full-screen switch at the start of a turn: `teardown`, invert
//     kFlagFullScreen in state.flags, `build`; on failure `teardown`, invert back, `build`;
//     then the whole palette is marked to be sent again and every row marked dirty;
//   - at the end calls `teardown`, which must release the back end's objects and destroy the
//     window (destroyMachineryWindow does the latter).
struct PresentationHooks {
  // Makes the window (createCentredWindow or createCoveringWindow) and the display objects
  // for state.flags, state.width, state.height, state.depth. On failure it releases what it
  // made and returns false. It also sets state.displayRefresh when it can read the rate.
  bool (*build)(WindowState& state);
  // Loop step 2: send the waiting palette (takePendingPalette), copy the rows flagged in
  // frame.dirtyRows and clear the flags (or leave them set when the target cannot be written).
  void (*present)(WindowState& state, const VisibleFrame& frame);
  // Loop step 3, called only while state.active. Null: fillKeyStateFromSystem.
  void (*refreshKeyState)(WindowState& state, std::array<uint8_t, 128>& keyState);
  // Releases the display objects and destroys the window; safe after a failed build.
  void (*teardown)(WindowState& state);
  // Optional first look at every message of the window. Return true when it is handled, with
  // the message's result in *result; false lets the shared handling (below) run.
  bool (*message)(WindowState& state, HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                  LRESULT* result);
  // Optional: WM_PAINT arrived (the shared handling validates the window afterwards).
  // GDI marks every row; a windowed surface copies its off-screen picture again.
  void (*repaint)(WindowState& state);
};

// The window state of the current graphics screen, zeroed by each startPresentation.
struct WindowState {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  ATOM windowClass = 0;
  std::string className;  // fixed prefix + title
  std::string title;
  int width = 0, height = 0, depth = 0, refreshRate = 0;
  int flags = 0;  // the request's; kFlagFullScreen follows the current form
  std::atomic<bool> running{false};
  bool active = false;     // the application has the input focus
  int displayRefresh = 0;  // of the display, read by build (0: unknown)
  int frameOffsetY = 0;    // rows the frame starts down in a taller full-screen mode
  bool switchRequested = false;
  // The mouse, for getMouse (presentation thread writes, program thread reads).
  std::atomic<int> mouseX{0}, mouseY{0}, mouseWheel{0}, mouseButtons{0};
  std::atomic<bool> mouseInside{false};
  BOOL savedScreenSaver = FALSE;
  bool screenSaverSaved = false;
  PresentationHooks hooks{};
};

// The one window state (one graphics screen at a time).
WindowState& windowState();

// --- For a back end's start and shutdown (program thread) ---------------------------------
// Runs the start sequence above. Returns 0 when the window is ready, nonzero on failure.
int startPresentation(const char* title, int width, int height, int depth, int refreshRate,
                      int flags, const PresentationHooks& hooks);
// Stops the thread (waiting for its end), restores the screen saver, unregisters the class.
// Safe to call after a failed start and more than once.
void stopPresentation();

// The screen lock of every Windows back end: a recursive critical section (Backend::lock and
// Backend::unlock can point straight at these).
void lockScreenSection();
void unlockScreenSection();

// Shared implementations of Backend operations a windowed back end can point at.
void machinerySetPaletteEntry(int index, int red, int green, int blue);
void machineryWaitVerticalSync();  // sleeps 1000 / displayRefresh ms, or 16 ms
int machineryGetMouse(int* x, int* y, int* wheel, int* buttons);
void machinerySetMouse(int x, int y, int cursorVisible);
void machinerySetWindowTitle(const char* text);

// --- For hooks (presentation thread) ------------------------------------------------------
// Styles of the windowed forms: caption, system menu and minimize box, not resizable.
inline constexpr DWORD kWindowedStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Creates the window of the registered class with a client area of exactly
// state.width x state.height, centred on the desktop, shown and brought to the foreground.
// Stores it in state.window and returns it (null on failure, e.g. no display).
HWND createCentredWindow(WindowState& state, DWORD style, DWORD exStyle = 0);
// A borderless pop-up covering the whole desktop, for exclusive full screen.
HWND createCoveringWindow(WindowState& state, DWORD exStyle = WS_EX_TOPMOST);
// Destroys state.window (if any) and empties the thread's message queue of it.
void destroyMachineryWindow(WindowState& state);
// Copies the palette entries set since the last call into `palette` (0xRRGGBB); returns
// true when anything changed.
bool takePendingPalette(std::array<uint32_t, 256>& palette);
// The key-state array from the system's per-key state (scan code -> virtual key table).
void fillKeyStateFromSystem(std::array<uint8_t, 128>& keyState);

// The window procedure of the class (exposed for tests that send it messages directly).
LRESULT CALLBACK machineryWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// The private message that shows (wParam 1) or hides (0) the mouse cursor.
inline constexpr UINT kShowCursorMessage = WM_APP + 0x51;
// The private message that applies a title set by machinerySetWindowTitle.
inline constexpr UINT kApplyTitleMessage = WM_APP + 0x52;
