// What ends the process while an SDL window is up: the termination signals (the display is
// restored first, on the presentation thread) and the loss of the X display (the program
// thread ends the process with status 0 at its next wait).
#pragma once

// SIGINT, SIGTERM and SIGHUP only record the signal (the first one counts) and write a byte
// to wakeFd (-1: none) so that a resting presentation thread acts on it at once.
void installSignalGuard(int wakeFd);
void removeSignalGuard();
// The recorded signal, or 0.
int pendingSignal();
// Ends the process as the signal's default action would. Never returns.
[[noreturn]] void endWithSignal(int signalNumber);

// Watches the X connection of SDL's x11 driver (already loaded by SDL; nothing is linked):
// a broken connection or an error about our own window calls `lost` on the thread that
// met it (to let go of the screen), then marks the display lost and parks that thread for
// good, since it must not return into Xlib. A termination signal recorded before or shortly
// after the loss ends the process with the signal's status instead. Presentation thread only.
void watchX11Connection(void (*lost)());
// The X window whose errors mean the window has gone (0: none yet).
void watchX11Window(unsigned long window);
void unwatchX11Connection();
// Whether events are already waiting on the connection (after sending what is buffered),
// and the connection's descriptor (-1 without a display), for a wait that blocks on it.
bool x11EventsWaiting(void* display);
int x11ConnectionDescriptor(void* display);
