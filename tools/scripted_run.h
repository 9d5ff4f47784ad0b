// Scripted runs of the whole simulator on the Null back end in virtual time: the actions of
// the snapshot driver (typing, waits, snapshots) and the counters a run reports.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ScriptAction {
  enum class Kind { Type, WaitLine, WaitEnd, WaitPause, WaitMs, Shot, Cells, Call, Until, Stop };
  Kind kind = Kind::Type;
  std::vector<int32_t> keys;        // Type (type:TEXT and key:NAME both queue keys)
  long long ms = 0;                 // WaitMs
  std::string path;                 // Shot, Cells
  std::function<void()> call;       // Call: in-process inspection at the point it is reached
  std::function<bool()> condition;  // Until: checked at every pause, tone and key wait
};

// One action from its command-line form; nullopt with a message when it is malformed.
std::optional<ScriptAction> parseAction(std::string_view text, std::string& error);
// Every argument in order; false with a message naming the first malformed one.
bool parseActions(const std::vector<std::string>& arguments, std::vector<ScriptAction>& actions,
                  std::string& error);
// The key code of a key name (Enter, Space, Esc, ..., F12, Close), case ignored; 0 if unknown.
int32_t namedKeyCode(std::string_view name);

// Builders for in-process scripts.
ScriptAction typeAction(std::string_view text);  // the bytes as typed; "\r" here is Enter itself
ScriptAction keyAction(int32_t code);
ScriptAction waitLineAction();
ScriptAction waitEndAction();
// Runs until the program next pauses or sounds the tone (a following wait counts from there).
ScriptAction waitPauseAction();
ScriptAction waitMsAction(long long ms);
ScriptAction callAction(std::function<void()> call);
ScriptAction untilAction(std::function<bool()> condition);
// Ends the run where it is reached, leaving the screen as it is then.
ScriptAction stopAction();

struct ScriptedRunResult {
  enum class Outcome {
    Ended,         // the program ended itself; exitStatus is its status
    OutOfActions,  // it waited for a key that no action gives; exitStatus 3
    Failed,        // a snapshot file could not be written; exitStatus 1
    Stopped,       // a stop action ended the run; exitStatus 3
  };
  Outcome outcome = Outcome::Ended;
  int exitStatus = 0;
  long long virtualMs = 0;  // milliseconds slept and toned
  long long rows = 0;       // table rows printed in this run
  int beeps = 0;
  std::vector<int> sleeps;  // every sleep the program asked for, in order
  std::string message;      // why the run stopped, when it did not end itself
  enum class Wait { None, Line, EndOfRun };
  Wait stoppedIn = Wait::None;  // the key wait an OutOfActions run stopped in
};

// Runs the simulator from its entry with the actions, then leaves the last screen in place
// for inspection (the next run or the program's end closes it).
// `onYield`, when given, is called at every pause, tone and key wait, before the actions.
ScriptedRunResult runScripted(std::vector<ScriptAction> actions,
                              std::function<void()> onYield = nullptr);
// "virtual_ms=N rows=N beeps=N"
std::string summaryLine(const ScriptedRunResult& result);
