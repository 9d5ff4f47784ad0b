#include <string_view>

#include "screen/backend/ascii_compare.h"
#include "screen/backend/backend.h"

namespace {
std::vector<const Backend*>& registry() {
  static std::vector<const Backend*> backends;
  return backends;
}

bool attempt(const Backend* backend, const char* title, int width, int height, int depth,
             int refreshRate, int flags, std::vector<BackendAttempt>* attempts) {
  if (attempts) attempts->push_back(BackendAttempt{backend, refreshRate, flags});
  if (!backend->start) return false;
  if (backend->start(title, width, height, depth, refreshRate, flags) == 0) return true;
  if (backend->shutdown) backend->shutdown();
  return false;
}
}  // namespace

void registerWindowedBackend(const Backend* backend) { registry().push_back(backend); }
void clearWindowedBackends() { registry().clear(); }
const std::vector<const Backend*>& windowedBackends() { return registry(); }

const Backend* chooseBackend(const char* preference, const char* title, int width, int height,
                             int depth, int refreshRate, int flags,
                             std::vector<BackendAttempt>* attempts) {
  const bool named = preference != nullptr;
  if (flags == kFlagNullBackend || (named && sameNameIgnoringCase(preference, "null")))
    return &nullBackend();
  // Windowed back ends present depths below 8 as 8 bits.
  if (depth < 8) depth = 8;
  for (int pass = named ? 4 : 2; pass >= 1; --pass) {
    const bool onlyPreferred = named && pass % 2 == 0;
    for (const Backend* backend : registry()) {
      if (onlyPreferred && !sameNameIgnoringCase(backend->name, preference)) continue;
      if (attempt(backend, title, width, height, depth, refreshRate, flags, attempts))
        return backend;
      if (attempt(backend, title, width, height, depth, 0, flags, attempts)) return backend;
    }
    if (!named || pass == 2) flags ^= kFlagFullScreen;
  }
  return nullptr;
}
