// The simulator's entry: starts the screen services, opens the screen and runs one
// simulation after another until a way out ends the process.
#pragma once

[[noreturn]] void simulatorMain(int argc, char** argv);
