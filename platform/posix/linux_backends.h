// The windowed back ends of the Linux build, registered in the order they are tried.
#pragma once

void registerLinuxBackends();
