// The windowed back ends of the Linux build: one table, registered in the order they are tried.
// Built apart from the posix platform library, which the back ends themselves use.
#pragma once

void registerLinuxBackends();
