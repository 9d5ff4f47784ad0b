#include "platform/web/web_key_ring.h"

int drainKeyRing(WebKeyRing& ring, const WebKeySink& sink) {
  int taken = 0;
  // A ring the page over-ran (or damaged) is read from its newest kSlots presses only.
  if (ring.written - ring.read > WebKeyRing::kSlots) ring.read = ring.written - WebKeyRing::kSlots;
  while (ring.read != ring.written) {
    const WebKeyEvent event = ring.slots[ring.read % WebKeyRing::kSlots];
    ++ring.read;
    translateWebKey(event, sink);
    ++taken;
  }
  return taken;
}
