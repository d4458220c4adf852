#include "app/protocol.h"

#include <cstdio>
#include <cstring>

#include "app/text.h"
#include "platform/console.h"
#include "strategy/decision.h"

GameState gameState;

namespace {

ShotDecider decider = DecideShot;
GameStartHook gameStart = nullptr;

// Tokens 1..32: x0 y0 x1 y1 ... x15 y15, each stored as soon as it is read.
Handled HandlePosition(const char* line, char* buffer) {
  for (int i = 0; i < game::kStonesPerEnd; ++i) {
    for (int axis = 0; axis < 2; ++axis) {
      if (!GetToken(buffer, kTextBufferSize, line, 2 * i + 1 + axis)) {
        return Handled::kArgumentMissing;
      }
      gameState.stones[i][axis] = ParseReal(buffer);
    }
  }
  return Handled::kComplete;
}

// Tokens 1..4: shotIndex, endIndex, lastEnd and the side flag (1 or not 1).
Handled HandleSetState(const char* line, char* buffer) {
  int32_t* const fields[] = {&gameState.shotIndex, &gameState.endIndex, &gameState.lastEnd};
  for (int i = 0; i < 3; ++i) {
    if (!GetToken(buffer, kTextBufferSize, line, i + 1)) return Handled::kArgumentMissing;
    *fields[i] = ParseInt(buffer);
  }
  if (!GetToken(buffer, kTextBufferSize, line, 4)) return Handled::kArgumentMissing;
  gameState.sideToMove = ParseInt(buffer) == 1 ? 1 : 0;
  return Handled::kComplete;
}

// Token 1: the score of the current end. An end index without a slot in the
// table (outside 0..9) leaves the record as it is.
Handled HandleScore(const char* line, char* buffer) {
  if (!GetToken(buffer, kTextBufferSize, line, 1)) return Handled::kArgumentMissing;
  const int32_t end = gameState.endIndex;
  if (end >= 0 && end < game::kEndSlots) gameState.endScore[end] = ParseInt(buffer);
  return Handled::kComplete;
}

Handled Reply(const char* text) {
  return WriteReply(text) ? Handled::kComplete : Handled::kOutputClosed;
}

Handled HandleGo(char* buffer) {
  ShotVec vec;
  decider(gameState, &vec);
  std::snprintf(buffer, kTextBufferSize, "BESTSHOT %f %f %d", static_cast<double>(vec.vx),
                static_cast<double>(vec.vy), static_cast<int>(vec.curl));
  return Reply(buffer);
}

}  // namespace

void SetShotDecider(ShotDecider decide) { decider = decide; }

void SetGameStartHook(GameStartHook hook) { gameStart = hook; }

Handled HandleCommand(const char* line) {
  static char cmd[kTextBufferSize];
  static char buffer[kTextBufferSize];
  GetToken(cmd, sizeof cmd, line, 0);
  if (MatchesKeyword(cmd, "ISREADY")) {
    if (gameStart != nullptr) gameStart();
    ResetGameState(&gameState);
    return Reply("READYOK");
  }
  if (MatchesKeyword(cmd, "POSITION")) return HandlePosition(line, buffer);
  if (MatchesKeyword(cmd, "SETSTATE")) return HandleSetState(line, buffer);
  if (MatchesKeyword(cmd, "GO")) return HandleGo(buffer);
  if (MatchesKeyword(cmd, "SCORE")) return HandleScore(line, buffer);
  if (MatchesKeyword(cmd, "NEWGAME")) {
    if (gameStart != nullptr) gameStart();
    return Handled::kComplete;
  }
  // Any unknown word changes nothing.
  return Handled::kComplete;
}

Handled HandleMessage(char* message) {
  // "recieved" is misspelt on purpose: the echo is part of the protocol, and
  // servers and logs look for these very bytes.
  std::fprintf(stderr, "recieved: %s\n", message);
  std::fflush(stderr);
  Handled result = Handled::kComplete;
  char* line = message;
  while (*line != '\0') {
    // Find where the next line starts before the cut hides it.
    char* next = line + std::strcspn(line, "\r\n");
    if (*next != '\0') ++next;
    CutAtLineEnd(line);
    if (*line != '\0') {
      const Handled handled = HandleCommand(line);
      if (handled == Handled::kOutputClosed) return handled;
      if (handled == Handled::kArgumentMissing) result = handled;
    }
    line = next;
  }
  return result;
}

bool ReadMessage(char* message, std::size_t size) { return ConsoleRead(message, size) > 0; }

bool WriteReply(const char* text) { return ConsoleWrite(text, std::strlen(text)); }
