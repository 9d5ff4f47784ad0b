// The "OpenGL" display back end: only for requests with the OpenGL flag; a window or a full
// screen in a display mode of its own, presented through WGL by the shared window machinery.
#pragma once
#include "screen/backend/backend.h"

const Backend& openGLBackend();
