#include "tools/scripted_run.h"

#include <stdlib.h>  // setenv

#include <cctype>
#include <charconv>
#include <deque>
#include <utility>

#include "screen/backend/ascii_compare.h"
#include "screen/backend/backend_port.h"
#include "screen/backend/cp437.h"
#include "screen/backend/key_code.h"
#include "screen/backend/platform_seam.h"
#include "simulator/simulator.h"
#include "simulator/variables.h"
#include "tools/frame_files.h"

namespace {
// The key queue keeps its newest 15 codes; handing over more would lose typed keys.
constexpr int kQueueRoom = 15;
constexpr int kToneMs = 250;

struct NamedKey {
  std::string_view name;
  int32_t code;
};
constexpr NamedKey kNamedKeys[] = {
    {"Enter", 13},
    {"Space", 32},
    {"Esc", 27},
    {"Backspace", 8},
    {"Tab", 9},
    {"Left", kKeyLeft},
    {"Right", kKeyRight},
    {"Up", kKeyUp},
    {"Down", kKeyDown},
    {"Home", kKeyHome},
    {"End", kKeyEnd},
    {"Delete", kKeyDelete},
    {"F1", extendedKey(0x3B)},
    {"F2", extendedKey(0x3C)},
    {"F3", extendedKey(0x3D)},
    {"F4", extendedKey(0x3E)},
    {"F5", extendedKey(0x3F)},
    {"F6", extendedKey(0x40)},
    {"F7", extendedKey(0x41)},
    {"F8", extendedKey(0x42)},
    {"F9", extendedKey(0x43)},
    {"F10", extendedKey(0x44)},
    {"F11", extendedKey(0x85)},
    {"F12", extendedKey(0x86)},
    {"Close", kKeyCloseRequest},
};

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// type:TEXT, where "\r" is Enter and "\\" a backslash.
std::optional<std::vector<int32_t>> typedKeys(std::string_view text, std::string& error) {
  std::vector<int32_t> keys;
  // Plain text arrives as UTF-8 and is typed as the keyboard delivers it, in code page 437
  // ("?" for a character that has no form there); only the escapes are taken byte by byte.
  std::string plain;
  auto typePlain = [&] {
    for (const char c : utf8ToCp437(plain)) keys.push_back(static_cast<unsigned char>(c));
    plain.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == 0) {
      error = "a NUL byte cannot be typed";
      return std::nullopt;
    }
    if (byte != '\\') {
      plain += static_cast<char>(byte);
      continue;
    }
    typePlain();
    if (i + 1 < text.size() && text[i + 1] == 'r') {
      keys.push_back(13);
    } else if (i + 1 < text.size() && text[i + 1] == '\\') {
      keys.push_back('\\');
    } else {
      error = "only \\r (Enter) and \\\\ (backslash) may follow a backslash";
      return std::nullopt;
    }
    ++i;
  }
  typePlain();
  return keys;
}

// Signals, from inside the program's call chain, that the scripted run is over.
struct RunStopped {
  ScriptedRunResult::Outcome outcome;
  int status;
  std::string message;
};

enum class YieldPoint { Sleep, Tone, LineWait, EndOfRunWait };

class ScriptedRun {
 public:
  ScriptedRun(std::vector<ScriptAction> actions, std::function<void()> onYield)
      : actions_(std::move(actions)), onYield_(std::move(onYield)) {}

  ScriptedRunResult result;

  void sleep(int ms) {
    result.virtualMs += ms;
    result.sleeps.push_back(ms);
    advance(YieldPoint::Sleep);
  }

  void tone() {
    result.virtualMs += kToneMs;
    ++result.beeps;
    advance(YieldPoint::Tone);
  }

  void awaitKey(KeyWaitKind kind) {
    // The simulator blocks for a key outside line entry only at its end-of-run wait.
    advance(kind == KeyWaitKind::Line ? YieldPoint::LineWait : YieldPoint::EndOfRunWait);
    if (queuedKeys() > 0) return;
    std::string message = "the program waits for a key and no action gives one";
    if (next_ < actions_.size()) {
      message = kind == KeyWaitKind::Line
                    ? "the program waits for a typed line before the next action can be reached"
                    : "the program is in its end-of-run wait before the next action can be reached";
    }
    result.stoppedIn = kind == KeyWaitKind::Line ? ScriptedRunResult::Wait::Line
                                                 : ScriptedRunResult::Wait::EndOfRun;
    throw RunStopped{ScriptedRunResult::Outcome::OutOfActions, 3, message};
  }

 private:
  static int queuedKeys() { return queuedKeyCount(); }

  void handOverKeys() {
    if (!graphicsScreenExists()) return;
    while (!pendingKeys_.empty() && queuedKeys() < kQueueRoom) {
      queueKey(pendingKeys_.front());
      pendingKeys_.pop_front();
    }
  }

  void finishAction() {
    ++next_;
    actionDoneAtMs_ = result.virtualMs;
  }

  void writeFile(const ScriptAction& action) {
    const bool written = action.kind == ScriptAction::Kind::Shot ? writeScreenPng(action.path)
                                                                 : writeCellText(action.path);
    if (!written)
      throw RunStopped{ScriptedRunResult::Outcome::Failed, 1, "cannot write " + action.path};
  }

  // Carries out every action that can be done at this point, stopping at a wait that is not
  // over yet; typed keys go to the program's queue as it makes room for them.
  void advance(YieldPoint point) {
    const bool blocked = point == YieldPoint::LineWait || point == YieldPoint::EndOfRunWait;
    if (onYield_) onYield_();
    for (;;) {
      handOverKeys();
      if (next_ >= actions_.size()) return;
      ScriptAction& action = actions_[next_];
      switch (action.kind) {
        case ScriptAction::Kind::Type:
          pendingKeys_.insert(pendingKeys_.end(), action.keys.begin(), action.keys.end());
          break;
        case ScriptAction::Kind::Shot:
        case ScriptAction::Kind::Cells: writeFile(action); break;
        case ScriptAction::Kind::Call:
          if (action.call) action.call();
          break;
        case ScriptAction::Kind::Stop:
          throw RunStopped{ScriptedRunResult::Outcome::Stopped, 3, "stopped by the script"};
        case ScriptAction::Kind::Until:
          if (action.condition && !action.condition()) return;
          break;
        case ScriptAction::Kind::WaitMs:
          // Time passes only in the program's pauses; a program blocked on a key lets it
          // pass at once.
          if (!blocked && result.virtualMs < actionDoneAtMs_ + action.ms) return;
          break;
        case ScriptAction::Kind::WaitLine:
          if (point != YieldPoint::LineWait || queuedKeys() > 0 || !pendingKeys_.empty()) return;
          break;
        case ScriptAction::Kind::WaitPause:
          if (blocked) return;
          break;
        case ScriptAction::Kind::WaitEnd:
          if (point != YieldPoint::EndOfRunWait || queuedKeys() > 0 || !pendingKeys_.empty())
            return;
          break;
      }
      finishAction();
    }
  }

  std::vector<ScriptAction> actions_;
  size_t next_ = 0;
  long long actionDoneAtMs_ = 0;
  std::deque<int32_t> pendingKeys_;
  std::function<void()> onYield_;
};

ScriptedRun* activeRun = nullptr;

void scriptedSleep(int ms) { activeRun->sleep(ms); }
void scriptedTone(int, int) { activeRun->tone(); }
void scriptedAwaitKey(KeyWaitKind kind) { activeRun->awaitKey(kind); }
void scriptedProgramEnding(int status) {
  throw RunStopped{ScriptedRunResult::Outcome::Ended, status, std::string()};
}

// The simulator's variables as the process starts, so that runs do not depend on each other.
void resetSimulatorVariables() {
  shareWeak = shareStrong = shareMedium = 0;
  sweepColumn = gradientIndex = 0;
  gradientText.clear();
  emissionFrom = emissionTo = fireCutPercent = 0;
  tableRow = emissionStep = currentEmission = 0;
  chartTop = chartBottom = chartSpan = 0;
  endOfRunKey.clear();
}
}  // namespace

int32_t namedKeyCode(std::string_view name) {
  for (const NamedKey& key : kNamedKeys)
    if (sameNameIgnoringCase(key.name, name)) return key.code;
  return 0;
}

std::optional<ScriptAction> parseAction(std::string_view text, std::string& error) {
  ScriptAction action;
  if (startsWith(text, "type:")) {
    auto keys = typedKeys(text.substr(5), error);
    if (!keys) return std::nullopt;
    action.keys = std::move(*keys);
    return action;
  }
  if (startsWith(text, "key:")) {
    const int32_t code = namedKeyCode(text.substr(4));
    if (code == 0) {
      error = "unknown key name \"" + std::string(text.substr(4)) + "\"";
      return std::nullopt;
    }
    action.keys = {code};
    return action;
  }
  if (text == "wait:line") return waitLineAction();
  if (text == "wait:end") return waitEndAction();
  if (text == "wait:pause") return waitPauseAction();
  if (startsWith(text, "wait:")) {
    const std::string_view digits = text.substr(5);
    long long ms = -1;
    const auto [end, failure] = std::from_chars(digits.data(), digits.data() + digits.size(), ms);
    if (digits.empty() || failure != std::errc() || end != digits.data() + digits.size() ||
        ms < 0) {
      error = "wait: takes line, end or a count of milliseconds";
      return std::nullopt;
    }
    return waitMsAction(ms);
  }
  const bool shot = startsWith(text, "shot:");
  if (shot || startsWith(text, "cells:")) {
    action.kind = shot ? ScriptAction::Kind::Shot : ScriptAction::Kind::Cells;
    action.path = std::string(text.substr(shot ? 5 : 6));
    if (action.path.empty()) {
      error = "a file name must follow " + std::string(shot ? "shot:" : "cells:");
      return std::nullopt;
    }
    return action;
  }
  error = "not an action";
  return std::nullopt;
}

bool parseActions(const std::vector<std::string>& arguments, std::vector<ScriptAction>& actions,
                  std::string& error) {
  actions.clear();
  for (const std::string& argument : arguments) {
    std::string reason;
    auto action = parseAction(argument, reason);
    if (!action) {
      error = "malformed action \"" + argument + "\": " + reason;
      return false;
    }
    actions.push_back(std::move(*action));
  }
  return true;
}

ScriptAction typeAction(std::string_view text) {
  ScriptAction action;
  for (const char c : text) action.keys.push_back(static_cast<unsigned char>(c));
  return action;
}
ScriptAction keyAction(int32_t code) {
  ScriptAction action;
  action.keys = {code};
  return action;
}
ScriptAction waitLineAction() {
  ScriptAction action;
  action.kind = ScriptAction::Kind::WaitLine;
  return action;
}
ScriptAction waitEndAction() {
  ScriptAction action;
  action.kind = ScriptAction::Kind::WaitEnd;
  return action;
}
ScriptAction waitPauseAction() {
  ScriptAction action;
  action.kind = ScriptAction::Kind::WaitPause;
  return action;
}
ScriptAction waitMsAction(long long ms) {
  ScriptAction action;
  action.kind = ScriptAction::Kind::WaitMs;
  action.ms = ms;
  return action;
}
ScriptAction callAction(std::function<void()> call) {
  ScriptAction action;
  action.kind = ScriptAction::Kind::Call;
  action.call = std::move(call);
  return action;
}

ScriptAction untilAction(std::function<bool()> condition) {
  ScriptAction action;
  action.kind = ScriptAction::Kind::Until;
  action.condition = std::move(condition);
  return action;
}

ScriptAction stopAction() {
  ScriptAction action;
  action.kind = ScriptAction::Kind::Stop;
  return action;
}

ScriptedRunResult runScripted(std::vector<ScriptAction> actions, std::function<void()> onYield) {
  ScriptedRun run(std::move(actions), std::move(onYield));
  const PlatformSeam previousSeam = platformSeam();
  PlatformSeam seam = previousSeam;
  seam.sleep = scriptedSleep;
  seam.tone = scriptedTone;
  seam.awaitKey = scriptedAwaitKey;
  seam.programEnding = scriptedProgramEnding;
  installPlatformSeam(seam);
  activeRun = &run;
#ifdef _WIN32
  _putenv_s("QXGFX", "null");
#else
  setenv("QXGFX", "null", 1);
#endif
  resetSimulatorVariables();
  const long long rowsBefore = tableRowsPrinted;

  char programName[] = "co2sim-snapshot";
  char* argv[] = {programName, nullptr};
  try {
    simulatorMain(1, argv);
  } catch (const RunStopped& stop) {
    run.result.outcome = stop.outcome;
    run.result.exitStatus = stop.status;
    run.result.message = stop.message;
  }
  activeRun = nullptr;
  installPlatformSeam(previousSeam);
  run.result.rows = tableRowsPrinted - rowsBefore;
  return std::move(run.result);
}

namespace {
std::string decimal(long long value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return std::string(digits, end);
}
}  // namespace

std::string summaryLine(const ScriptedRunResult& result) {
  return "virtual_ms=" + decimal(result.virtualMs) + " rows=" + decimal(result.rows) +
         " beeps=" + decimal(result.beeps);
}
