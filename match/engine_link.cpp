#include "match/engine_link.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "match/protocol.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kShownReplyBytes = 200;  // of a reply kept in the record
constexpr int kExitWaitMs = 200;          // for an engine that closed its output to end
constexpr int kStopGraceMs = 100;         // for an engine to end on its own after EOF
// More bytes than any reply (and than the engine's echo lines) can take: an
// engine that floods its output is cut off here instead of filling memory.
constexpr size_t kMaxReplyBytes = 64 * 1024;

double MsSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

int MsUntil(Clock::time_point deadline) {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<int64_t>(0, ms.count()));
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

// Writes a command, then waits until it has been read and pauses. False
// when the engine did not take it in time; marks it dead when it is gone.
bool Deliver(EngineLink* link, const std::string& command, Clock::time_point deadline) {
  if (!WriteAll(&link->process, command, MsUntil(deadline))) {
    if (HasExited(&link->process)) {
      MarkDead(link, "engine ended");
    }
    return false;
  }
  bool consumed = WaitUntilConsumed(link->process, MsUntil(deadline));
  if (link->pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(link->pauseMs));
  return consumed;
}

// Reads after GO until the reply parses, fails to parse or time is up.
ShotAnswer AwaitBestShot(EngineLink* link, Clock::time_point deadline, int graceMs) {
  ShotAnswer answer;
  std::string raw;
  for (;;) {
    ReadStatus got = ReadSome(&link->process, MsUntil(deadline), &raw);
    answer.reply = Printable(raw, kShownReplyBytes);
    if (got == ReadStatus::kTimeout) {
      answer.status = StoneStatus::kTimeout;
      answer.note = raw.empty() ? "no reply in time" : "incomplete reply in time";
      return answer;
    }
    if (got == ReadStatus::kClosed) {
      MarkDead(link, "engine closed its output");
      answer.status = StoneStatus::kCrashed;
      answer.note = link->deadReason;
      return answer;
    }
    ReplyParse parse = ParseBestShot(raw, &answer.vec);
    if (parse == ReplyParse::kIncomplete && raw.size() > kMaxReplyBytes)
      parse = ReplyParse::kGarbage;
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

}  // namespace

ProgramStart EngineStart(const EngineSpec& spec, const std::string& stderrPath) {
  ProgramStart start;
  start.argv.push_back(spec.program);
  start.argv.insert(start.argv.end(), spec.args.begin(), spec.args.end());
  start.dir = spec.dir;
  start.env = spec.env;
  if (spec.threads > 0) start.env.push_back({"OMP_NUM_THREADS", std::to_string(spec.threads)});
  start.stderrPath = stderrPath;
  return start;
}

bool StartEngine(const EngineSpec& spec, const std::string& stderrPath, int pauseMs,
                 double budgetMs, EngineLink* link) {
  *link = EngineLink{};
  link->spec = spec;
  link->stderrPath = stderrPath;
  link->pauseMs = pauseMs;
  link->budgetLeftMs = budgetMs;
  if (!StartProgram(EngineStart(spec, stderrPath), &link->process)) {
    link->dead = true;
    link->deadReason = link->process.startError;
    return false;
  }
  return true;
}

std::string CheckEngineStarts(const EngineSpec& spec) {
  ChildProcess child;
  if (!StartProgram(EngineStart(spec, ""), &child)) return child.startError;
  StopProcess(&child, 0);
  return "";
}

void SendCommand(EngineLink* link, const std::string& command, int waitMs) {
  if (link->dead) return;
  Deliver(link, command, Clock::now() + std::chrono::milliseconds(waitMs));
}

std::string GreetEngine(EngineLink* link, int timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  if (!link->dead) Deliver(link, FormatNewGame(), deadline);
  if (!link->dead && !WriteAll(&link->process, FormatIsReady(), MsUntil(deadline)))
    MarkDead(link, "engine does not read its input");
  std::string raw;
  while (!link->dead) {
    ReadStatus got = ReadSome(&link->process, MsUntil(deadline), &raw);
    if (got == ReadStatus::kTimeout) return "no READYOK in time: '" + Printable(raw, 80) + "'";
    if (got == ReadStatus::kClosed) MarkDead(link, "engine closed its output");
    if (got != ReadStatus::kData) break;
    ReplyParse parse = ParseReadyOk(raw);
    if (parse == ReplyParse::kIncomplete && raw.size() > kMaxReplyBytes)
      parse = ReplyParse::kGarbage;
    if (parse == ReplyParse::kComplete) return "";
    if (parse != ReplyParse::kIncomplete)
      return "bad reply to ISREADY: '" + Printable(raw, 80) + "'";
  }
  return link->deadReason;
}

std::string DrainStrayOutput(EngineLink* link) {
  if (link->dead) return "";
  std::string raw;
  while (raw.size() < kMaxReplyBytes && ReadSome(&link->process, 0, &raw) == ReadStatus::kData) {
  }
  const std::string shown = WithoutEchoLines(raw);
  if (shown.find_first_not_of(" \t\r\n") == std::string::npos) return "";
  return Printable(shown, kShownReplyBytes);
}

ShotAnswer AskForShot(EngineLink* link, const std::string& setState, const std::string& position,
                      double goTimeoutMs, int graceMs) {
  ShotAnswer answer;
  if (link->dead) {
    answer.status = StoneStatus::kCrashed;
    answer.note = link->deadReason;
    return answer;
  }
  if (link->budgetLeftMs <= 0.0) {
    answer.status = StoneStatus::kOutOfTime;
    answer.note = "thinking time for the game used up";
    return answer;
  }
  const bool budgetBinds = link->budgetLeftMs < goTimeoutMs;
  const double limitMs = budgetBinds ? link->budgetLeftMs : goTimeoutMs;
  const Clock::time_point start = Clock::now();
  const Clock::time_point deadline =
      start + std::chrono::microseconds(static_cast<int64_t>(limitMs * 1000.0));
  bool delivered = Deliver(link, setState, deadline) && Deliver(link, position, deadline);
  // An engine reads its next message only after it has answered the last
  // one, so once it has taken SETSTATE and POSITION a reply that came too
  // late for the previous stone is already here: drop it before GO.
  const std::string stray = delivered ? DrainStrayOutput(link) : "";
  const Clock::time_point goWritten = Clock::now();
  if (delivered && !WriteAll(&link->process, FormatGo(), MsUntil(deadline))) delivered = false;
  if (delivered) {
    answer = AwaitBestShot(link, deadline, graceMs);
    answer.goSent = true;
  } else if (link->dead) {
    answer.status = StoneStatus::kCrashed;
    answer.note = link->deadReason;
  } else {
    answer.status = StoneStatus::kTimeout;
    answer.note = "engine did not read its commands in time";
  }
  if (!stray.empty())
    answer.note = "ignored output before GO: '" + stray + "'" +
                  (answer.note.empty() ? "" : "; " + answer.note);
  answer.thinkMs = answer.goSent ? MsSince(goWritten) : 0.0;
  link->budgetLeftMs -= MsSince(start);
  if (answer.status == StoneStatus::kTimeout && budgetBinds) {
    answer.status = StoneStatus::kOutOfTime;
    answer.note = "thinking time for the game used up";
  }
  return answer;
}

std::string StopEngine(EngineLink* link) {
  StopProcess(&link->process, kStopGraceMs);
  return link->process.exitDescription;
}
