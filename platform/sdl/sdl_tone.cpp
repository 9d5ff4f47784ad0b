#include "platform/sdl/sdl_tone.h"

#include <SDL.h>
#include <dlfcn.h>

#include <mutex>
#include <vector>

#include "platform/sdl/sdl_init_lock.h"
#include "screen/backend/platform_seam.h"

namespace {
SDL_AudioDeviceID device = 0;
SDL_AudioSpec obtained{};
bool tried = false;  // a failed open is not retried: it costs time and prints driver noise

// The sound library reports a missing card on standard error from inside the device open;
// the program's only output is its one line, so those reports go nowhere. The library is
// loaded here first (SDL then shares it) and stays loaded with the quiet handler in place.
void ignoreSoundLibraryReport(const char*, int, const char*, int, const char*, ...) {}

void quietSoundLibrary() {
  static void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
  static const bool quiet = [] {
    if (!library) return false;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    auto setHandler =
        reinterpret_cast<int (*)(Handler)>(dlsym(library, "snd_lib_error_set_handler"));
    return setHandler && setHandler(ignoreSoundLibraryReport) == 0;
  }();
  (void)quiet;
}

bool openDevice() {
  if (device != 0) return true;
  if (tried) return false;
  tried = true;
  std::lock_guard<std::mutex> guard(sdlInitLock());
  quietSoundLibrary();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec wanted{};
  wanted.freq = 48000;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 1;
  wanted.samples = 512;
  device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  return true;
}
}  // namespace

void sdlTone(int hertz, int ms) {
  if (ms <= 0) return;
  if (hertz <= 0 || !openDevice()) {
    platformSeam().sleep(ms);
    return;
  }
  const int rate = obtained.freq;
  const size_t samples = static_cast<size_t>(rate) * static_cast<size_t>(ms) / 1000;
  std::vector<int16_t> wave(samples);
  const double halfPeriod = static_cast<double>(rate) / (2.0 * hertz);
  for (size_t i = 0; i < samples; ++i)
    wave[i] = (static_cast<long>(static_cast<double>(i) / halfPeriod) % 2 == 0) ? 6000 : -6000;
  SDL_ClearQueuedAudio(device);
  SDL_QueueAudio(device, wave.data(), static_cast<Uint32>(samples * sizeof(int16_t)));
  SDL_PauseAudioDevice(device, 0);
  // The queue empties one buffer before the last sample is heard.
  while (SDL_GetQueuedAudioSize(device) > 0) platformSeam().sleep(5);
  platformSeam().sleep(static_cast<int>(1000 * obtained.samples / rate) + 1);
  SDL_PauseAudioDevice(device, 1);
}

void closeSdlTone() {
  if (device != 0) {
    SDL_CloseAudioDevice(device);
    device = 0;
    std::lock_guard<std::mutex> guard(sdlInitLock());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  tried = false;
}
