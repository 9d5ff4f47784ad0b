// The web back end's one window onto the screen services' shared state: the visible frame
// with its changed-row flags, and the key queue. Nothing else here reads the screen state.
#pragma once
#include <cstdint>

#include "platform/web/web_frame_copy.h"

// The current screen's visible frame; false when no graphics screen exists.
bool currentFrame(FrameView& frame);
// Marks every displayed row as changed, so the next copy redraws the whole picture.
void markWholeFrame();
// Puts a key code into the current screen's key queue (nothing without a screen).
void putKey(int32_t code);
// Whether the current screen's key queue holds a key.
bool keyQueued();
