// co2sim-snapshot: runs the simulator headless in virtual time, driven by the actions on
// its command line, and writes snapshots of the screen on the way.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/scripted_run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  std::vector<ScriptAction> actions;
  std::string error;
  if (!parseActions(arguments, actions, error)) {
    std::fprintf(stderr, "co2sim-snapshot: %s\n", error.c_str());
    return 2;
  }
  const ScriptedRunResult result = runScripted(std::move(actions));
  if (!result.message.empty())
    std::fprintf(stderr, "co2sim-snapshot: %s\n", result.message.c_str());
  std::printf("%s\n", summaryLine(result).c_str());
  std::fflush(stdout);
  // std::exit runs the exit handlers, which close the screen the run left open.
  std::exit(result.exitStatus);
}
