// The interface and object identifiers of the display and input libraries, defined once here:
// the libraries are loaded at run time, so their import libraries are not linked.
#include <initguid.h>
#include <windows.h>

#define DIRECTINPUT_VERSION 0x0800
#include <ddraw.h>
#include <dinput.h>
