// SDL's subsystem start and stop are not thread-safe: video starts on the presentation
// thread, audio on the program thread, so both take this lock around SDL_Init/Quit calls.
#pragma once
#include <mutex>

std::mutex& sdlInitLock();
