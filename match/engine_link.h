// One engine as the runner drives it: commands written one per write, each
// followed by a wait until the engine has read it and a short pause, so an
// engine that takes one message per read never gets two at once; replies
// read until they parse, within a deadline; a thinking-time budget.
#pragma once

#include <string>
#include <vector>

#include "match/engine_spec.h"
#include "match/process.h"
#include "match/record.h"

struct EngineLink {
  ChildProcess process;
  EngineSpec spec;
  std::string stderrPath;
  int pauseMs = 5;
  double budgetLeftMs = 0.0;
  bool dead = false;  // crashed, closed its output or could not start
  std::string deadReason;
};

// How an engine is started: its program and arguments, folder and
// environment, with OMP_NUM_THREADS set when spec.threads > 0.
ProgramStart EngineStart(const EngineSpec& spec, const std::string& stderrPath);

// Starts the engine; stderrPath as in ProgramStart. False, with the link
// dead and deadReason naming the program, when it cannot be started.
bool StartEngine(const EngineSpec& spec, const std::string& stderrPath, int pauseMs,
                 double budgetMs, EngineLink* link);

// Starts the engine and stops it again: "" when it could be started,
// otherwise the reason, naming the program. Answers as soon as the start
// has succeeded or failed, never by waiting for a timeout.
std::string CheckEngineStarts(const EngineSpec& spec);

// Writes one command that has no reply, then waits until the engine has read
// it (at most waitMs) and pauses. Marks the engine dead when it is gone.
void SendCommand(EngineLink* link, const std::string& command, int waitMs);

// NEWGAME, then ISREADY and the wait for READYOK. Returns "" when READYOK
// came within timeoutMs, otherwise why not.
std::string GreetEngine(EngineLink* link, int timeoutMs);

// Collects what the engine wrote unasked (for instance a reply that came
// after its deadline), without waiting. Printable form; "" when nothing but
// white space and echo lines came.
std::string DrainStrayOutput(EngineLink* link);

struct ShotAnswer {
  StoneStatus status = StoneStatus::kPlayed;
  ShotVec vec{};
  std::string reply;  // printable form of what arrived
  std::string note;   // why the stone is lost
  double thinkMs = 0.0;
  bool goSent = false;  // whether GO was written (thinkMs counts)
};

// Sends SETSTATE, POSITION and GO and waits for BESTSHOT. The whole exchange
// must end within goTimeoutMs and within the budget left, which it is
// charged with. graceMs: how long to watch for a second reply after a
// complete one.
ShotAnswer AskForShot(EngineLink* link, const std::string& setState, const std::string& position,
                      double goTimeoutMs, int graceMs);

// Ends the engine and reaps it; returns how it ended.
std::string StopEngine(EngineLink* link);
