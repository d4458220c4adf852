#include "match/engine_link.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "match/protocol.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kShownReplyBytes = 200;  // of a reply kept in the record
constexpr int kExitWaitMs = 200;          // for an engine that closed its output to end
constexpr int kStopGraceMs = 100;         // for an engine to end on its own after EOF
constexpr int kConsumedPollMs = 1;        // how often a command is checked for being read
// How often a silent engine is checked for having ended: one that left a
// child holding its output open never shows as a closed pipe.
constexpr int kExitCheckMs = 20;

double MsSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

int MsUntil(Clock::time_point deadline) {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<int64_t>(0, ms.count()));
}

Clock::time_point After(double ms) {
  return Clock::now() + std::chrono::microseconds(static_cast<int64_t>(ms * 1000.0));
}

void MarkDead(EngineLink* link, const std::string& what) {
  if (link->dead) return;
  link->dead = true;
  const Clock::time_point until = Clock::now() + std::chrono::milliseconds(kExitWaitMs);
  while (!HasExited(&link->process) && Clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  link->deadReason = what;
  if (link->process.exited) link->deadReason += " (" + link->process.exitDescription + ")";
}

enum class Delivery {
  kTaken,  // the engine has read the command
  kLate,   // it had not read it by the deadline
  kGone,   // it has ended or closed its output (the link is dead)
  kFlood,  // it wrote more than kMaxExchangeBytes meanwhile
};

// Writes a command and waits until the engine has read it, collecting what
// it writes meanwhile (a late reply, echo lines) in link->unasked.
Delivery Take(EngineLink* link, const std::string& command, Clock::time_point deadline) {
  if (!WriteAll(&link->process, command, MsUntil(deadline))) {
    if (!HasExited(&link->process)) return Delivery::kLate;
    MarkDead(link, "engine ended");
    return Delivery::kGone;
  }
  for (;;) {
    if (WaitUntilConsumed(link->process, 0)) return Delivery::kTaken;
    if (HasExited(&link->process)) {
      MarkDead(link, "engine ended");
      return Delivery::kGone;
    }
    if (MsUntil(deadline) == 0) return Delivery::kLate;
    const int waitMs = std::min(kConsumedPollMs, MsUntil(deadline));
    if (ReadSome(&link->process, waitMs, &link->unasked) == ReadStatus::kClosed) {
      MarkDead(link, "engine closed its output");
      return Delivery::kGone;
    }
    if (link->unasked.size() > kMaxExchangeBytes) return Delivery::kFlood;
  }
}

// Take, with the wait charged to the budget, then the runner's pause, which
// is not charged and moves the deadline on by its length.
Delivery Deliver(EngineLink* link, const std::string& command, Clock::time_point* deadline) {
  const Clock::time_point start = Clock::now();
  const Delivery result = Take(link, command, *deadline);
  link->budgetLeftMs -= MsSince(start);
  if (result == Delivery::kTaken && link->pauseMs > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(link->pauseMs));
    *deadline += std::chrono::milliseconds(link->pauseMs);
  }
  return result;
}

// What the engine wrote unasked (for instance a reply that came after its
// deadline), with what is there now, without waiting; link->unasked is
// emptied. Printable form; "" when nothing but white space and echo lines.
std::string TakeUnasked(EngineLink* link) {
  std::string raw;
  raw.swap(link->unasked);
  while (!link->dead && raw.size() <= kMaxExchangeBytes &&
         ReadSome(&link->process, 0, &raw) == ReadStatus::kData) {
  }
  const std::string shown = WithoutEchoLines(raw);
  if (shown.find_first_not_of(" \t\r\n") == std::string::npos) return "";
  return Printable(shown, kShownReplyBytes);
}

ShotAnswer Lost(StoneStatus status, const std::string& note) {
  ShotAnswer answer;
  answer.status = status;
  answer.note = note;
  return answer;
}

// ReadSome until the deadline, but kClosed (the link marked dead) as soon as
// the engine has ended, even when something it started keeps its output open.
ReadStatus ReadOrEnd(EngineLink* link, Clock::time_point deadline, std::string* raw) {
  for (;;) {
    const ReadStatus got = ReadSome(&link->process, std::min(kExitCheckMs, MsUntil(deadline)), raw);
    if (got == ReadStatus::kClosed) MarkDead(link, "engine closed its output");
    if (got != ReadStatus::kTimeout) return got;
    if (HasExited(&link->process)) {
      MarkDead(link, "engine ended");
      return ReadStatus::kClosed;
    }
    if (MsUntil(deadline) == 0) return got;
  }
}

// Reads after GO until the reply parses, fails to parse or time is up;
// thinkMs is the time from goWritten to the verdict.
ShotAnswer AwaitBestShot(EngineLink* link, Clock::time_point goWritten, Clock::time_point deadline,
                         int graceMs) {
  ShotAnswer answer;
  answer.goSent = true;
  std::string raw;
  for (;;) {
    ReadStatus got = ReadOrEnd(link, deadline, &raw);
    answer.thinkMs = MsSince(goWritten);
    answer.reply = Printable(raw, kShownReplyBytes);
    if (got == ReadStatus::kTimeout) {
      answer.status = StoneStatus::kTimeout;
      answer.note = raw.empty() ? "no reply in time" : "incomplete reply in time";
      return answer;
    }
    if (got == ReadStatus::kClosed) {
      answer.status = StoneStatus::kCrashed;
      answer.note = link->deadReason;
      return answer;
    }
    ReplyParse parse = ParseBestShot(raw, &answer.vec);
    if (parse == ReplyParse::kIncomplete && raw.size() > kMaxExchangeBytes) {
      answer.status = StoneStatus::kGarbage;
      answer.note = "no reply in the first " + std::to_string(kMaxExchangeBytes) + " bytes";
      return answer;
    }
    if (parse == ReplyParse::kIncomplete) continue;
    if (parse == ReplyParse::kComplete) {
      // Watch a moment longer: a second reply to the same GO loses the stone.
      ReadSome(&link->process, graceMs, &raw);
      answer.reply = Printable(raw, kShownReplyBytes);
      parse = ParseBestShot(raw, &answer.vec);
      if (parse == ReplyParse::kComplete) return answer;
    }
    answer.status =
        parse == ReplyParse::kTwoReplies ? StoneStatus::kTwoReplies : StoneStatus::kGarbage;
    answer.note = parse == ReplyParse::kTwoReplies ? "more than one reply" : "unreadable reply";
    return answer;
  }
}

// The stone's fate when SETSTATE or POSITION did not get through.
ShotAnswer Undelivered(const EngineLink& link, Delivery d) {
  if (d == Delivery::kGone) return Lost(StoneStatus::kCrashed, link.deadReason);
  if (d == Delivery::kFlood)
    return Lost(StoneStatus::kGarbage, "more than " + std::to_string(kMaxExchangeBytes) +
                                           " bytes of output while reading its commands");
  return Lost(StoneStatus::kTimeout, "engine did not read its commands in time");
}

}  // namespace

ProgramStart EngineStart(const EngineLaunch& launch, const std::string& stderrPath) {
  ProgramStart start;
  start.argv.push_back(launch.program);
  start.argv.insert(start.argv.end(), launch.args.begin(), launch.args.end());
  start.dir = launch.dir;
  start.env = launch.env;
  if (launch.threads > 0) start.env.push_back({"OMP_NUM_THREADS", std::to_string(launch.threads)});
  start.stderrPath = stderrPath;
  return start;
}

bool StartEngine(const EngineLaunch& launch, const std::string& stderrPath, int pauseMs,
                 double budgetMs, EngineLink* link) {
  *link = EngineLink{};
  link->launch = launch;
  link->stderrPath = stderrPath;
  link->pauseMs = pauseMs;
  link->budgetLeftMs = budgetMs;
  if (!StartProgram(EngineStart(launch, stderrPath), &link->process)) {
    link->dead = true;
    link->deadReason = link->process.startError;
    return false;
  }
  return true;
}

std::string CheckEngineStarts(const EngineLaunch& launch) {
  ChildProcess child;
  if (!StartProgram(EngineStart(launch, ""), &child)) return child.startError;
  StopProcess(&child, 0);
  return "";
}

bool RestartEngine(EngineLink* link) {
  StopProcess(&link->process, 0);
  const EngineLaunch launch = link->launch;
  const std::string stderrPath = link->stderrPath;
  return StartEngine(launch, stderrPath, link->pauseMs, link->budgetLeftMs, link);
}

void SendCommand(EngineLink* link, const std::string& command, int waitMs) {
  if (link->dead || link->budgetLeftMs <= 0.0) return;
  Clock::time_point deadline = After(std::min<double>(waitMs, link->budgetLeftMs));
  Deliver(link, command, &deadline);
}

std::string GreetEngine(EngineLink* link, int timeoutMs) {
  if (link->dead) return link->deadReason;
  const double waitMs = std::min<double>(timeoutMs, link->budgetLeftMs);
  Clock::time_point deadline = After(waitMs);
  if (Deliver(link, FormatNewGame(), &deadline) == Delivery::kGone) return link->deadReason;
  link->unasked.clear();
  const Clock::time_point asked = Clock::now();
  std::string note;
  if (!WriteAll(&link->process, FormatIsReady(), MsUntil(deadline))) {
    note = "engine does not read its input";
  }
  std::string raw;
  while (note.empty()) {
    ReadStatus got = ReadOrEnd(link, deadline, &raw);
    ReplyParse parse = ParseReadyOk(raw);
    if (got == ReadStatus::kTimeout) {
      char within[64];
      const std::chrono::duration<double, std::milli> waited(waitMs);
      std::snprintf(within, sizeof within, "no READYOK within %g s",
                    std::chrono::duration<double>(waited).count());
      note = within + (raw.empty() ? "" : ": '" + Printable(raw, 80) + "'");
    } else if (got == ReadStatus::kClosed) {
      note = link->deadReason;
    } else if (parse == ReplyParse::kComplete) {
      break;
    } else if (parse != ReplyParse::kIncomplete || raw.size() > kMaxExchangeBytes) {
      note = "bad reply to ISREADY: '" + Printable(raw, 80) + "'";
    }
  }
  link->budgetLeftMs -= MsSince(asked);
  return note;
}

ShotAnswer AskForShot(EngineLink* link, const std::string& setState, const std::string& position,
                      double goTimeoutMs, int graceMs) {
  if (link->dead) return Lost(StoneStatus::kCrashed, link->deadReason);
  const ShotAnswer outOfTime = Lost(StoneStatus::kOutOfTime, "thinking time for the game used up");
  if (link->budgetLeftMs <= 0.0) return outOfTime;
  const double budgetAtStart = link->budgetLeftMs;
  const bool budgetBinds = budgetAtStart < goTimeoutMs;
  Clock::time_point deadline = After(budgetBinds ? budgetAtStart : goTimeoutMs);
  Delivery d = Deliver(link, setState, &deadline);
  if (d == Delivery::kTaken) d = Deliver(link, position, &deadline);
  // An engine reads its next message only after it has answered the last
  // one, so once it has taken SETSTATE and POSITION a reply that came too
  // late for the previous stone is already here: drop it before GO.
  const std::string stray = TakeUnasked(link);
  ShotAnswer answer;
  if (d != Delivery::kTaken) {
    answer = Undelivered(*link, d);
  } else {
    const Clock::time_point goWritten = Clock::now();
    if (WriteAll(&link->process, FormatGo(), MsUntil(deadline))) {
      answer = AwaitBestShot(link, goWritten, deadline, graceMs);
    } else if (HasExited(&link->process)) {
      MarkDead(link, "engine ended");
      answer = Lost(StoneStatus::kCrashed, link->deadReason);
    } else {
      answer = Lost(StoneStatus::kTimeout, "engine did not read GO in time");
    }
    link->budgetLeftMs -= answer.thinkMs;
  }
  if (answer.status == StoneStatus::kTimeout && budgetBinds) {
    answer.status = outOfTime.status;
    answer.note = outOfTime.note;
    link->budgetLeftMs = 0.0;  // the deadline was the budget, whatever the clock's rounding
  }
  if (!stray.empty())
    answer.note = "ignored output before GO: '" + stray + "'" +
                  (answer.note.empty() ? "" : "; " + answer.note);
  return answer;
}

std::string StopEngine(EngineLink* link) {
  StopProcess(&link->process, kStopGraceMs);
  return link->process.exitDescription;
}
