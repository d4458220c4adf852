#include "tournament/openings.h"

#include <cmath>
#include <nlohmann/json.hpp>

using nlohmann::json;

namespace {

constexpr double kMaxCoordinate = 100.0;  // m; far beyond the sheet, but finite

bool WholeNumber(const json& v, int low, int high, int* out) {
  if (!v.is_number_integer()) return false;
  const long long n = v.get<long long>();
  if (n < low || n > high) return false;
  *out = static_cast<int>(n);
  return true;
}

bool ReadStones(const json& v, Opening* o) {
  if (!v.is_array() || v.size() > static_cast<size_t>(kMaxOpeningStones)) return false;
  for (const json& stone : v) {
    if (!stone.is_array() || stone.size() != 2) return false;
    std::array<float, 2> xy{};
    for (int k = 0; k < 2; ++k) {
      if (!stone[k].is_number()) return false;
      const double c = stone[k].get<double>();
      if (!std::isfinite(c) || std::fabs(c) > kMaxCoordinate) return false;
      xy[k] = static_cast<float>(c);
    }
    o->firstStones.push_back(xy);
  }
  return true;
}

// One line's object; "" or what is wrong with it.
std::string ReadOpening(const json& line, Opening* o) {
  if (!line.is_object()) return "not a JSON object";
  if (!line.contains("end")) return "\"end\" is missing";
  for (const auto& item : line.items()) {
    const std::string& key = item.key();
    const json& v = item.value();
    int end = 0;
    if (key == "end") {
      if (!WholeNumber(v, 1, kMaxOpeningEnd, &end))
        return "\"end\" must be a whole number in [1, 100]";
      o->startEnd = end - 1;
    } else if (key == "score") {
      if (!v.is_array() || v.size() != 2 || !WholeNumber(v[0], 0, kMaxOpeningScore, &o->pointsA) ||
          !WholeNumber(v[1], 0, kMaxOpeningScore, &o->pointsB))
        return "\"score\" must be [A, B], whole numbers in [0, 1000]";
    } else if (key == "hammer") {
      if (v != "A" && v != "B") return "\"hammer\" must be \"A\" or \"B\"";
      o->hammer = v == "A" ? kSeatA : kSeatB;
    } else if (key == "stones") {
      if (!ReadStones(v, o))
        return "\"stones\" must be at most " + std::to_string(kMaxOpeningStones) +
               " pairs [x, y] of finite numbers";
    } else {
      return "unknown key \"" + key + "\" (keys: end, score, hammer, stones)";
    }
  }
  return "";
}

}  // namespace

bool ParseOpenings(const std::string& text, std::vector<Opening>* out, std::string* error) {
  std::vector<Opening> openings;
  size_t start = 0;
  for (int lineNumber = 1; start < text.size(); ++lineNumber) {
    size_t stop = text.find('\n', start);
    if (stop == std::string::npos) stop = text.size();
    const std::string line = text.substr(start, stop - start);
    start = stop + 1;
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    const json parsed = json::parse(line, nullptr, false);
    Opening opening;
    const std::string why =
        parsed.is_discarded() ? "not valid JSON" : ReadOpening(parsed, &opening);
    if (!why.empty()) {
      *error = "line " + std::to_string(lineNumber) + ": " + why;
      return false;
    }
    openings.push_back(opening);
  }
  if (openings.empty()) {
    *error = "no openings";
    return false;
  }
  *out = std::move(openings);
  return true;
}

std::string OpeningToJsonLine(const Opening& o) {
  json line{{"end", o.startEnd + 1},
            {"score", {o.pointsA, o.pointsB}},
            {"hammer", o.hammer == kSeatA ? "A" : "B"}};
  if (!o.firstStones.empty()) {
    line["stones"] = json::array();
    for (const auto& s : o.firstStones) line["stones"].push_back({s[0], s[1]});
  }
  return line.dump();
}
