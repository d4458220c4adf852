// One engine as the runner drives it: commands written one per write, each
// followed by a wait until the engine has read it and a short pause, so an
// engine that takes one message per read never gets two at once; replies
// read until they parse, within a deadline; a thinking-time budget that
// every wait for the engine is charged to (never the runner's own pauses).
#pragma once

#include <string>

#include "match/engine_launch.h"
#include "platform/process.h"
#include "record/record.h"

// Most bytes the runner reads from an engine for one exchange (a stone, the
// greeting, a command) before it gives up on it: far more than a reply and
// the echo lines of its commands take, so only an engine that floods its
// output reaches it, and it loses the stone at once instead of running the
// exchange to its deadline.
constexpr size_t kMaxExchangeBytes = 16 * 1024;

struct EngineLink {
  ChildProcess process;
  EngineLaunch launch;
  std::string stderrPath;
  int pauseMs = 5;
  double budgetLeftMs = 0.0;
  bool dead = false;  // crashed, closed its output or could not start
  std::string deadReason;
  std::string unasked;  // what it wrote while it was reading a command
};

// How an engine is started: its program and arguments, folder and
// environment, with OMP_NUM_THREADS set when launch.threads > 0.
ProgramStart EngineStart(const EngineLaunch& launch, const std::string& stderrPath);

// Starts the engine; stderrPath as in ProgramStart. False, with the link
// dead and deadReason naming the program, when it cannot be started.
bool StartEngine(const EngineLaunch& launch, const std::string& stderrPath, int pauseMs,
                 double budgetMs, EngineLink* link);

// Ends the engine and starts the same program again with what is left of
// its budget. False (the link dead) when it cannot be started.
bool RestartEngine(EngineLink* link);

// Starts the engine and stops it again: "" when it could be started,
// otherwise the reason, naming the program. Answers as soon as the start
// has succeeded or failed, never by waiting for a timeout.
std::string CheckEngineStarts(const EngineLaunch& launch);

// Writes one command that has no reply, then waits until the engine has
// read it (at most waitMs, and never past its budget, which is charged)
// and pauses. Marks the engine dead when it is gone.
void SendCommand(EngineLink* link, const std::string& command, int waitMs);

// NEWGAME, then ISREADY and the wait for READYOK, charged to the budget.
// Returns "" when READYOK came within timeoutMs (and the budget), otherwise
// why not.
std::string GreetEngine(EngineLink* link, int timeoutMs);

struct ShotAnswer {
  StoneStatus status = StoneStatus::kPlayed;
  ShotVec vec{};
  std::string reply;  // printable form of what arrived
  std::string note;   // why the stone is lost
  double thinkMs = 0.0;
  bool goSent = false;  // whether GO was written (thinkMs counts)
};

// Sends SETSTATE, POSITION and GO and waits for BESTSHOT. The whole exchange
// must end within goTimeoutMs and within the budget left. The budget is
// charged with the engine's waits: for it to read SETSTATE and POSITION,
// and the thinking time from the write of GO to the complete reply.
// graceMs: how long to watch for a second reply after a complete one (not
// charged). kOutOfTime when the budget is spent, whichever limit was hit.
ShotAnswer AskForShot(EngineLink* link, const std::string& setState, const std::string& position,
                      double goTimeoutMs, int graceMs);

// Ends the engine and all it started, and reaps it; returns how it ended.
std::string StopEngine(EngineLink* link);
