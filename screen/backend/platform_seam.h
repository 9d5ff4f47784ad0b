// The one seam between the screen services and the platform's time, tone and console:
// tests replace it to run whole simulations in virtual time and count every millisecond.
#pragma once
#include <cstddef>

// What the program waits for: a line being entered, or any one key (waitKey).
enum class KeyWaitKind { Line, Other };

struct PlatformSeam {
  void (*sleep)(int ms);                                 // an OS sleep of ms >= 1
  void (*tone)(int hertz, int ms);                       // returns when the tone is over
  void (*consoleWrite)(const char* bytes, size_t size);  // standard output, no graphics screen
  // Blocks until the key queue holds a key. Null: wait on the queue's condition variable.
  void (*awaitKey)(KeyWaitKind kind);
  // Called by endProgram before the exit handlers run. Null: nothing.
  void (*programEnding)(int status);
};

// The seam the process starts with: std::this_thread sleeps, a silent tone that sleeps,
// stdout for the console. Platform code and tests install their own.
PlatformSeam defaultPlatformSeam();
void installPlatformSeam(const PlatformSeam& seam);
const PlatformSeam& platformSeam();
