// The calls from the program into the page's script (the page never calls the program: it
// writes key presses into memory and wakes the suspended program instead).
#pragma once
#include <cstdint>

struct WebKeyRing;

// Sizes the canvas, hands over where key presses go, and focuses the canvas.
void pageOpen(int width, int height, WebKeyRing* ring);
// Shows rows first..last (inclusive) of the RGBA picture at `rgba` (width x height pixels).
void pagePutRows(const uint32_t* rgba, int width, int height, int first, int last);
// Milliseconds on the page's clock.
double pageNow();
// Suspends the program for about ms milliseconds (woken by a message, not a clamped timer).
void pageWait(double ms);
// Suspends the program until a key press arrives.
void pageAwaitKey();
// Starts the 1000 Hz tone when the page may sound (it returns at once).
void pageTone(int hertz, int ms);
// What the program is doing, for the page and its tests: kRunning, kLineWait, kKeyWait.
void pageReport(int state, double virtualMs, int tones);
inline constexpr int kPageRunning = 0;
inline constexpr int kPageLineWait = 1;
inline constexpr int kPageKeyWait = 2;
// The virtual milliseconds after the first pause that follows a key wait at which the
// program is to be held, or a negative number for none (a test hook).
double pageHoldRequest();
// Holds the program until the page resumes it; the request is consumed.
void pageHold(double virtualMs);
// The program ends with this status.
void pageEnded(int status);
