// The tone through SDL audio: a square wave queued on a device opened at the first tone;
// without an audio device the tone is a silent wait of the same length.
#pragma once

// Plays `hertz` for `ms` and returns when it is over. Program thread only.
void sdlTone(int hertz, int ms);
// Closes the device and SDL's audio (when the screen closes).
void closeSdlTone();
