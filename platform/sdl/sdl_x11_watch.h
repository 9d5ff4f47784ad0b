// The SDL window's X connection: its loss ends the process with status 0 (on the program
// thread, at its next wait), and its descriptor lets the presentation thread rest on it.
#pragma once

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
