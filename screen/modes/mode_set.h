// Internal pieces of the mode set shared with the console side and the back ends: the
// program's arguments and the screen's title.
#pragma once
#include <string>

struct ServicesState {
  int argc = 0;
  char** argv = nullptr;
  std::string title;  // empty until set or taken from the program's file name
  bool exitHandlerRegistered = false;
  bool started = false;
};

extern ServicesState services;

// The program's file name without directory and without the part from its last ".".
std::string programTitle(const char* argv0);
// Closes the current graphics screen, if any (shutdown of its back end, buffers freed).
void closeScreen();
