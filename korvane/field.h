// Event-driven motion of all stones on the sheet during one shot.
//
// Every moving stone follows its closed-form Motion between events. The
// events are contacts between two stones and a stone touching a side line
// or wholly crossing a back line. For each pair (and each stone-and-line)
// the loop keeps a time before which that contact provably cannot happen;
// it always refines the earliest such bound, so the first bound that turns
// out to be a real contact is the next event of the whole sheet.
#pragma once

#include "korvane/motion.h"
#include "korvane/sheet.h"
#include "sim/records.h"

namespace korvane {

struct Body {
  bool present = false;    // on the sheet: moves and collides
  bool moved = false;      // set in motion during this shot
  bool struck = false;     // touched another stone during this shot
  bool leftSheet = false;  // touched a side line or crossed a back line
  double goneAt = 0;       // s, when it left the sheet (if leftSheet)
  Motion motion;
};

struct Field {
  Body body[game::kStonesPerEnd];
  double endTime = 0;     // s, when the last stone came to rest
  int collisions = 0;     // contacts resolved
  int refinements = 0;    // bounds refined
  int limitsReached = 0;  // times the work budget ran out and touching stones stopped
};

// Receives the sheet at sampled instants while the shot runs.
struct FrameSink {
  double interval = 0.1;  // s between samples
  int next = 0;           // index of the next sample (time next * interval)
  int limit = 0;          // samples to write, at times 0, interval, ...
  PathFrame* frames = nullptr;
};

// Places a stone at rest at (x, y).
void PlaceAtRest(Body* b, double x, double y);

// Moves every present stone until all rest or leave the sheet. Stones that
// leave are no longer present; their last motion keeps where they left.
void RunToRest(Field* field, FrameSink* sink);

// Where a body is at time t, or (sheet::kOutX, sheet::kOutY) once it is gone.
void BodyPosition(const Body& b, double t, double* x, double* y);

}  // namespace korvane
