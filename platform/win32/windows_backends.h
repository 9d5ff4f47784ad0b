// The display back ends of the Windows program: one table, registered in the order the
// chooser tries them: "DirectX", "GDI", "OpenGL".
#pragma once

void registerWindowsBackends();
