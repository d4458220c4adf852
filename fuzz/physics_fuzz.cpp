// The physics library's C interface: the input's first 184 bytes are the
// record, the rest a program of calls on it, one opcode byte each followed
// by that call's arguments as raw bytes: shots with any vector and noise and
// a path buffer of any capacity, several in a row on the one record, draws
// and hits to any target, scores, null pointers, and byte patches of the
// record between calls.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "korvane/korvane.h"

namespace {

// A path buffer of up to this many frames (about 1 MB) is allocated to the
// exact capacity, so that AddressSanitizer sees one frame too many.
constexpr int kMaxPathFrames = 8192;

void CheckResult(int result, const char* call) {
  if (result != 0 && result != 1) FuzzFail(call);
}

void CheckVector(const ShotVec& vec) {
  if (vec.curl > 1) FuzzFail("launch vector curl not 0 or 1");
}

// Frame 0 is the release (at time 0) unless it is also the last frame, the
// moment of rest: when the buffer holds one frame, or the shot ends at once.
// Times rise, stones are finite, and a frame with time < 0 follows the last
// one whenever the buffer has room left.
void CheckFrames(const std::vector<PathFrame>& frames) {
  float previous = 0.0f;
  for (std::size_t k = 0; k < frames.size(); ++k) {
    const float t = frames[k].time;
    if (t < 0.0f) return;
    if (std::isnan(t)) FuzzFail("path frames not ended by a frame with time < 0");
    const bool last = k + 1 == frames.size() || frames[k + 1].time < 0.0f;
    const bool inOrder = k == 0 ? t == 0.0f || (t > 0.0f && last) : t > previous;
    if (!inOrder) {
      char what[128];
      std::snprintf(what, sizeof what, "path frame %zu of %zu at time %g after %g", k,
                    frames.size(), static_cast<double>(t), static_cast<double>(previous));
      FuzzFail(what);
    }
    for (const auto& stone : frames[k].stones) {
      if (!std::isfinite(stone[0]) || !std::isfinite(stone[1])) FuzzFail("path stone not finite");
    }
    previous = t;
  }
}

void Shoot(GameState* state, FuzzInput* in) {
  const ShotVec vec = in->Take<ShotVec>();
  const float noise = in->Take<float>();
  // Any capacity, negative included; a buffer's is cut to kMaxPathFrames.
  int capacity = in->Take<int16_t>();
  const uint8_t pathKind = in->Take<uint8_t>();
  // Null, or exactly max(capacity, 0) frames (a zero-length buffer too).
  std::vector<PathFrame> frames;
  PathFrame* path = nullptr;
  if (pathKind % 2 == 1) {
    const int count = capacity < 0 ? 0 : capacity % (kMaxPathFrames + 1);
    if (capacity >= 0) capacity = count;
    frames.resize(static_cast<std::size_t>(count));
    path = count > 0 ? frames.data() : static_cast<PathFrame*>(std::malloc(0));
  }
  for (PathFrame& frame : frames) frame.time = std::nanf("");
  const int32_t shot = state->shotIndex;
  CheckResult(Simulation(state, vec, noise, path, capacity), "Simulation result");
  if (path != nullptr && frames.empty()) std::free(path);
  if (shot != INT32_MAX && state->shotIndex != shot + 1) FuzzFail("shotIndex not advanced by one");
  if (shot >= 0 && shot < game::kStonesPerEnd) CheckFrames(frames);
}

void Patch(GameState* state, FuzzInput* in) {
  const uint8_t offset = in->Take<uint8_t>();
  const uint32_t bytes = in->Take<uint32_t>();
  const std::size_t at = offset % (sizeof(GameState) - sizeof bytes + 1);
  std::memcpy(reinterpret_cast<uint8_t*>(state) + at, &bytes, sizeof bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzInput in{data, size};
  GameState state = in.Take<GameState>();
  KorvaneSeed(in.Take<uint8_t>());
  while (!in.Empty()) {
    ShotVec vec{};
    switch (in.Take<uint8_t>() % 7) {
      case 0:
        Shoot(&state, &in);
        break;
      case 1:
        CheckResult(CreateShot(in.Take<ShotPos>(), &vec), "CreateShot result");
        CheckVector(vec);
        break;
      case 2: {
        const ShotPos target = in.Take<ShotPos>();
        CheckResult(CreateHitShot(target, in.Take<float>(), &vec), "CreateHitShot result");
        CheckVector(vec);
        break;
      }
      case 3:
        GetScore(&state);
        break;
      case 4:
        Patch(&state, &in);
        break;
      case 5: {
        // A shot made by CreateShot, played at once: the library's own pair.
        CreateShot(in.Take<ShotPos>(), &vec);
        CheckResult(Simulation(&state, vec, in.Take<float>(), nullptr, -1), "Simulation result");
        break;
      }
      default:
        // Null records and result pointers are refused, not followed.
        if (Simulation(nullptr, vec, 0.0f, nullptr, -1) != 0) FuzzFail("Simulation(null)");
        if (CreateShot(ShotPos{}, nullptr) != 0) FuzzFail("CreateShot(null)");
        if (CreateHitShot(ShotPos{}, 1.0f, nullptr) != 0) FuzzFail("CreateHitShot(null)");
        if (GetScore(nullptr) != 0) FuzzFail("GetScore(null)");
        break;
    }
  }
  return 0;
}
