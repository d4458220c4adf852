#include "tournament/same_run.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "record/record_json.h"
#include "tournament/display_width.h"

using nlohmann::json;

namespace {

// Long values (openings, environments) are cut, so that a refusal stays
// a few lines long.
constexpr int kShownColumns = 60;
const char* const kResolvedSuffix = "Resolved";

std::string Shown(const json& value) {
  // The header keeps a float setting (the noise) as its double: show a
  // fraction as it was typed, 0.4 rather than 0.40000000596046448.
  if (value.is_number_float()) {
    const double number = value.get<double>();
    const float single = static_cast<float>(number);
    if (static_cast<double>(single) == number && number != std::floor(number))
      return FloatText(single);
  }
  const std::string text = value.is_null() ? "none"
                           : value.is_string()
                               ? value.get<std::string>()
                               : value.dump(-1, ' ', false, json::error_handler_t::replace);
  return text.empty() ? "\"\"" : FitToWidth(text, kShownColumns);
}

void Add(std::string* out, const std::string& what, const std::string& a, const std::string& b) {
  *out += (out->empty() ? "" : "; ") + what + " " + a + " vs " + b;
}

bool IsResolvedKey(const std::string& key) {
  const std::string suffix = kResolvedSuffix;
  return key.size() > suffix.size() &&
         key.compare(key.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A path as given, followed by where it resolved to when that reads
// otherwise, so that `build/bin/a` typed in two folders shows why it differs.
std::string ShownPath(const json& engine, const std::string& key) {
  const json given = engine.value(key, json());
  const json resolved = engine.value(key + kResolvedSuffix, json());
  return Shown(given) +
         (resolved.is_null() || resolved == given ? "" : " (" + Shown(resolved) + ")");
}

void EngineDifference(size_t index, const json& a, const json& b, PathsCompared how,
                      std::string* out) {
  const std::string label =
      "engine " + std::to_string(index + 1) + " (" + Shown(a.value("name", json(""))) + "): ";
  json keys = a;
  keys.update(b);
  for (const auto& item : keys.items()) {
    const std::string& key = item.key();
    if (IsResolvedKey(key)) continue;
    const std::string resolved = key + kResolvedSuffix;
    const bool byResolved =
        how == PathsCompared::kResolved && a.contains(resolved) && b.contains(resolved);
    const std::string compared = byResolved ? resolved : key;
    if (a.value(compared, json()) == b.value(compared, json())) continue;
    const bool path = keys.contains(resolved);
    Add(out, label + key, path ? ShownPath(a, key) : Shown(a.value(key, json())),
        path ? ShownPath(b, key) : Shown(b.value(key, json())));
  }
}

void EnginesDifference(const json& u, const json& v, PathsCompared how, std::string* out) {
  if (!u.is_array() || !v.is_array() || u.size() != v.size()) {
    Add(out, "engines:", u.is_array() ? std::to_string(u.size()) : Shown(u),
        v.is_array() ? std::to_string(v.size()) : Shown(v));
    return;
  }
  for (size_t e = 0; e < u.size(); ++e) {
    if (u[e].is_object() && v[e].is_object())
      EngineDifference(e, u[e], v[e], how, out);
    else if (u[e] != v[e])
      Add(out, "engine " + std::to_string(e + 1) + ":", Shown(u[e]), Shown(v[e]));
  }
}

}  // namespace

std::string RunDifference(const std::string& a, const std::string& b, PathsCompared how) {
  const json x = json::parse(a, nullptr, false), y = json::parse(b, nullptr, false);
  if (!x.is_object() || !y.is_object()) return a == b ? "" : "the run description is unreadable";
  json keys = x;
  keys.update(y);
  std::string out;
  for (const auto& item : keys.items()) {
    const std::string& key = item.key();
    const json u = x.value(key, json()), v = y.value(key, json());
    if (key == "engines") {
      if (u != v) EnginesDifference(u, v, how, &out);
    } else if (key == "games" ? (u == 1) != (v == 1) : u != v) {
      Add(&out, key + ":", Shown(u), Shown(v));
    }
  }
  return out;
}
