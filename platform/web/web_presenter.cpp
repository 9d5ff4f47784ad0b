#include "platform/web/web_presenter.h"

#include <vector>

#include "platform/web/web_frame_copy.h"
#include "platform/web/web_page_calls.h"
#include "screen/backend/backend_port.h"

namespace {
std::vector<uint32_t> picture;  // RGBA, what the canvas shows
}  // namespace

void presentChangedRows() {
  VisibleFrame frame;
  if (!visibleFrame(frame)) return;
  const int shownHeight = frame.height * frame.rowRepeat;
  const size_t size = static_cast<size_t>(frame.width) * static_cast<size_t>(shownHeight);
  if (picture.size() != size) {
    picture.assign(size, 0xFF000000u);
    markWholeFrame();
  }
  const RowBand band = copyDirtyRows(frame, picture.data());
  if (!band.empty()) pagePutRows(picture.data(), frame.width, shownHeight, band.first, band.last);
}

void resetPresentation() { picture.clear(); }
