#include "screen/modes/mode_set.h"

#include <cstdlib>
#include <new>

#include "screen/assets/builtin_assets.h"
#include "screen/backend/backend.h"
#include "screen/backend/platform_seam.h"
#include "screen/extended/fpu_control.h"
#include "screen/last_error.h"
#include "screen/modes/mode_table.h"
#include "screen/routing/operation_table.h"
#include "screen/screen.h"
#include "screen/screen_state.h"

ServicesState services;
ScreenState* screenState = nullptr;

namespace {
void closeScreenAtExit() { closeScreen(); }

const uint8_t* fontFor(int height) {
  const BuiltinAssets& assets = builtinAssets();
  if (height == 8) return assets.font8x8;
  if (height == 14) return assets.font8x14;
  return assets.font8x16;
}

const uint8_t* paletteFor(int entries) {
  const BuiltinAssets& assets = builtinAssets();
  switch (entries) {
    case 2: return assets.palette2;
    case 16: return assets.palette16;
    case 64: return assets.palette64;
    default: return assets.palette256;
  }
}

int effectiveDepth(int mode, const ModeInfo& info, int requested, int flags) {
  int depth = info.defaultDepth;
  if (mode > 13 &&
      (requested == 8 || requested == 15 || requested == 16 || requested == 24 || requested == 32))
    depth = requested;
  if ((flags & kFlagOpenGL) && flags >= 0 && depth < 16) depth = 16;
  if (depth == 15) depth = 16;
  if (depth == 24) depth = 32;
  return depth;
}

// Builds the screen state for a mode; null when memory runs out.
ScreenState* buildScreen(int mode, const ModeInfo& info, int depth, int pages, int flags,
                         int refreshRate) {
  try {
    auto* s = new ScreenState;
    s->mode = mode;
    s->width = info.width;
    s->height = info.height;
    s->depth = depth;
    s->colourMask = depth == 16 ? 0xFFFFu : depth == 32 ? 0xFFFFFFFFu : (1u << depth) - 1u;
    s->bytesPerPixel = (depth + 7) / 8;
    if (s->bytesPerPixel == 3) s->bytesPerPixel = 4;
    s->pitch = s->width * s->bytesPerPixel;
    s->rowRepeat = info.rowRepeat;
    s->flags = flags;
    s->refreshRate = refreshRate;
    const size_t pageBytes = static_cast<size_t>(s->height) * static_cast<size_t>(s->pitch);
    for (int p = 0; p < pages; ++p) {
      s->pages.emplace_back(new uint8_t[pageBytes]());
    }
    s->visiblePage = 0;
    s->workPage = 0;
    s->rowAddress.resize(static_cast<size_t>(s->height));
    for (int y = 0; y < s->height; ++y)
      s->rowAddress[static_cast<size_t>(y)] =
          s->pages[0].get() + static_cast<size_t>(y) * static_cast<size_t>(s->pitch);
    s->dirtyRows.assign(static_cast<size_t>(s->height) * static_cast<size_t>(s->rowRepeat), 0);
    s->textColumns = info.textColumns;
    s->textRows = info.textRows;
    s->cellHeight = info.fontHeight;
    s->font = fontFor(info.fontHeight);
    s->cellRecord.assign(static_cast<size_t>(pages),
                         std::vector<CellRecord>(static_cast<size_t>(s->textColumns) *
                                                 static_cast<size_t>(s->textRows)));
    const uint8_t* palette = paletteFor(info.paletteEntries);
    for (int i = 0; i < 256; ++i) {
      const int entry = i % info.paletteEntries;
      s->palette[static_cast<size_t>(i)] = static_cast<uint32_t>(palette[entry * 3]) << 16 |
                                           static_cast<uint32_t>(palette[entry * 3 + 1]) << 8 |
                                           palette[entry * 3 + 2];
    }
    return s;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void resetPalette(ScreenState& s) {
  if (s.depth > 8 || !s.backend || !s.backend->setPaletteEntry) return;
  for (int i = 0; i < 256; ++i) {
    const uint32_t rgb = s.palette[static_cast<size_t>(i)];
    s.backend->setPaletteEntry(i, static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF),
                               static_cast<int>(rgb & 0xFF));
  }
  s.paletteShown = s.palette;
}
}  // namespace

std::string programTitle(const char* argv0) {
  if (!argv0) return "co2sim";
  std::string name(argv0);
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name.empty() ? "co2sim" : name;
}

void closeScreen() {
  ScreenState* s = screenState;
  if (!s) return;
  if (s->backend && s->backend->shutdown) s->backend->shutdown();
  screenState = nullptr;
  clearOperations();
  delete s;
}

void startServices(int argc, char** argv) {
  closeScreen();
  const bool handlerRegistered = services.exitHandlerRegistered;
  services = ServicesState{};
  services.exitHandlerRegistered = handlerRegistered;
  services.argc = argc;
  services.argv = argv;
  services.started = true;
  setLastError(kErrorNone);
  setExtendedPrecision();
}

void setScreenMode(int32_t mode, int32_t depth, int32_t pages, int32_t flags, int32_t refreshRate) {
  const ModeInfo* info = modeInfo(mode);
  if (mode != 0 && !info) {
    setLastError(kErrorInvalid);
    return;
  }
  if (pages < 1) pages = 1;
  // A request for more than 64 pages gets 64, so a wild count cannot exhaust memory.
  if (pages > 64) pages = 64;
  closeScreen();
  setLastError(kErrorNone);
  if (mode == 0) return;

  const int actualDepth = effectiveDepth(mode, *info, depth, flags);
  ScreenState* s = buildScreen(mode, *info, actualDepth, pages, flags, refreshRate);
  if (!s) {
    setLastError(kErrorNoMemory);
    return;
  }
  if (services.title.empty())
    services.title = programTitle(services.argc > 0 && services.argv ? services.argv[0] : nullptr);

  // Back ends read the frame from their own thread as soon as they start.
  screenState = s;
  const char* preference = std::getenv("QXGFX");
  const Backend* chosen = chooseBackend(preference, services.title.c_str(), s->width,
                                        s->height * s->rowRepeat, actualDepth, refreshRate, flags);
  if (!chosen) {
    screenState = nullptr;
    delete s;
    setLastError(kErrorInvalid);
    return;
  }
  s->backend = chosen;
  installGraphicsOperations();

  {
    // The back end's presentation thread runs from here on and reads the state.
    OperationLock lock;
    resetPalette(*s);
    s->foregroundPixel = (actualDepth >= 5 && actualDepth <= 8) ? 15u : s->colourMask;
    s->backgroundPixel = 0;
    s->clipRegion = ClipRegion{0, 0, s->width, s->height};
    s->graphicsViewSet = false;
    for (auto& page : s->cellRecord)
      for (auto& cell : page) cell = CellRecord{32, s->foregroundPixel, 0};
  }

  if (!services.exitHandlerRegistered) {
    services.exitHandlerRegistered = true;
    std::atexit(closeScreenAtExit);
  }
  if (flags != kFlagClosing) setTextView(0, 0);
}

void* frameBuffer() {
  ScreenState* s = screenState;
  if (!s) return nullptr;
  return s->rowAddress.empty() ? nullptr : s->rowAddress[0];
}

void endProgram(int32_t status) {
  const PlatformSeam& seam = platformSeam();
  if (seam.programEnding) seam.programEnding(status);
  std::exit(status);
}
