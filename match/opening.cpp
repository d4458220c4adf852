#include "match/opening.h"

#include <cmath>

#include "record/count_text.h"

namespace {

constexpr float kFarthestCoordinate = 100.0f;  // m; far beyond any sheet

int EndsToScore(int points) {
  return (points + game::kMostPointsPerEnd - 1) / game::kMostPointsPerEnd;
}

}  // namespace

std::string OpeningProblem(const Opening& o, int regularEnds) {
  if (o.startEnd < 0 || o.startEnd >= regularEnds)
    return "start end " + std::to_string(o.startEnd + 1) + " is not one of the game's " +
           CountText(regularEnds, "end", "ends");
  if (o.pointsA < 0 || o.pointsB < 0) return "negative points";
  if (EndsToScore(o.pointsA) + EndsToScore(o.pointsB) > o.startEnd)
    return "a score of " + std::to_string(o.pointsA) + "-" + std::to_string(o.pointsB) +
           " cannot arise in " + CountText(o.startEnd, "end", "ends");
  if (o.firstStones.size() >= static_cast<size_t>(game::kStonesPerEnd))
    return "more stones in play than an end has before its last";
  for (const auto& stone : o.firstStones)
    for (float c : stone)
      if (!std::isfinite(c) || std::fabs(c) > kFarthestCoordinate)
        return "a stone lies outside the sheet's coordinates";
  return "";
}

std::vector<int> EarlierEndScores(const Opening& o) {
  std::vector<int> scores;
  for (int left = o.pointsA; left > 0; left -= game::kMostPointsPerEnd)
    scores.push_back(left < game::kMostPointsPerEnd ? left : game::kMostPointsPerEnd);
  for (int left = o.pointsB; left > 0; left -= game::kMostPointsPerEnd)
    scores.push_back(-(left < game::kMostPointsPerEnd ? left : game::kMostPointsPerEnd));
  scores.resize(static_cast<size_t>(o.startEnd), 0);
  return scores;
}
