#include "tournament/engine_words.h"

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "match/game.h"
#include "tournament/file_text.h"

namespace {

constexpr int kMaxThreads = 1024;

// A time key's value in ms; false when it is out of its bounds.
bool Millis(const std::string& value, double low, double high, double* ms) {
  double sec = 0;
  if (!NumberFromText(value, low, high, &sec)) return false;
  *ms = sec * kMsPerSecond;
  return true;
}

// One KEY=VALUE word into launch; "" or what is wrong with it.
std::string ApplyWord(const std::string& word, EngineLaunch* launch) {
  const size_t eq = word.find('=');
  if (eq == std::string::npos) return "'" + word + "' is not KEY=VALUE";
  const std::string key = word.substr(0, eq), value = word.substr(eq + 1);
  double threads = 0;
  if (key == "name") {
    launch->name = value;
  } else if (key == "cmd") {
    launch->program = value;
  } else if (key == "arg") {
    launch->args.push_back(value);
  } else if (key == "dir") {
    launch->dir = value;
  } else if (key == "threads") {
    if (!NumberFromText(value, 1, kMaxThreads, &threads) || threads != std::floor(threads))
      return "threads wants a whole number in [1, 1024], not '" + value + "'";
    launch->threads = static_cast<int>(threads);
  } else if (key == "time") {
    if (!Millis(value, kLeastTimeSec, kMostTimeSec, &launch->budgetMs))
      return "time wants seconds in [0.001, 1e7], not '" + value + "'";
  } else if (key == "inc") {
    if (!Millis(value, 0, kMostIncSec, &launch->incMs))
      return "inc wants seconds in [0, 1e6], not '" + value + "'";
  } else if (key == "env" && value.find('=') != std::string::npos && value[0] != '=') {
    launch->env.emplace_back(value.substr(0, value.find('=')), value.substr(value.find('=') + 1));
  } else {
    return "unknown or malformed '" + word +
           "' (keys: name, cmd, arg, dir, threads, env=KEY=VALUE, time, inc, conf)";
  }
  return "";
}

// A definition's JSON value as the text of a word: strings as they are,
// numbers as JSON writes them; false for any other kind.
bool WordValue(const nlohmann::json& v, std::string* text) {
  if (v.is_string())
    *text = v.get<std::string>();
  else if (v.is_number())
    *text = v.dump();
  else
    return false;
  return true;
}

// One entry of an engines file as words; "" or what is wrong with it.
std::string DefinitionWords(const nlohmann::json& entry, std::vector<std::string>* words) {
  if (!entry.is_object() || !entry.contains("name") || !entry["name"].is_string() ||
      entry["name"].get<std::string>().empty())
    return "an entry is not an object with a \"name\"";
  // The name first, so that the definition's words say which engine they are.
  words->push_back("name=" + entry["name"].get<std::string>());
  std::string text;
  for (const auto& item : entry.items()) {
    const std::string& key = item.key();
    const nlohmann::json& v = item.value();
    if (key == "name") {
      continue;
    } else if (key == "args" && v.is_array()) {
      for (const nlohmann::json& a : v) {
        if (!a.is_string()) return "\"args\" holds a value that is not a string";
        words->push_back("arg=" + a.get<std::string>());
      }
    } else if (key == "env" && v.is_object()) {
      for (const auto& kv : v.items()) {
        if (!kv.value().is_string()) return "\"env\" holds a value that is not a string";
        words->push_back("env=" + kv.key() + "=" + kv.value().get<std::string>());
      }
    } else if ((key == "cmd" || key == "dir" || key == "threads" || key == "time" ||
                key == "inc") &&
               WordValue(v, &text)) {
      words->push_back(key + "=" + text);
    } else {
      return "bad \"" + key + "\" (keys: name, cmd, args, dir, threads, env, time, inc)";
    }
  }
  return "";
}

}  // namespace

bool NumberFromText(const std::string& text, double low, double high, double* out) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(v) || v < low || v > high) return false;
  *out = v;
  return true;
}

bool EngineLaunchFromWords(const std::vector<std::string>& words, EngineLaunch* launch,
                           std::string* error) {
  for (const std::string& word : words) {
    const std::string problem = ApplyWord(word, launch);
    if (!problem.empty()) {
      *error = problem;
      return false;
    }
  }
  if (!launch->program.empty()) return true;
  *error = "cmd=PROGRAM is missing";
  return false;
}

bool ReadEngineDefinitions(const std::string& path, EngineDefinitions* out, std::string* error) {
  std::string text;
  if (!ReadWholeFile(path, &text)) {
    *error = "--engines-file " + path + ": cannot be read";
    return false;
  }
  const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
  const std::string where = "--engines-file " + path + ": ";
  if (!doc.is_object() || !doc.contains("engines") || !doc["engines"].is_array()) {
    *error = where + "not JSON of the form {\"engines\": [{\"name\": ..., \"cmd\": ...}, ...]}";
    return false;
  }
  EngineDefinitions defs;
  for (const nlohmann::json& entry : doc["engines"]) {
    std::vector<std::string> words;
    std::string problem = DefinitionWords(entry, &words);
    if (problem.empty() && !defs.emplace(words.front().substr(5), words).second)
      problem = "two engines are named " + words.front().substr(5);
    if (!problem.empty()) {
      *error = where + problem;
      return false;
    }
  }
  *out = std::move(defs);
  return true;
}

bool EngineWordsOf(const std::vector<std::string>& own, const std::vector<std::string>& each,
                   const EngineDefinitions* definitions, std::vector<std::string>* words,
                   std::string* error) {
  std::vector<std::string> rest;
  std::string problem;
  std::string conf;
  for (const std::string& word : own) {
    if (word.rfind("conf=", 0) != 0) {
      rest.push_back(word);
    } else if ((conf = word.substr(5)).empty()) {
      *error = "--engine: conf= wants the NAME of an engine of the --engines-file";
      return false;
    }
  }
  for (const std::string& word : each)
    if (word.rfind("conf=", 0) == 0)
      problem = "--each: conf= names one engine; give it to --engine";
  if (!conf.empty() && !definitions)
    problem = "--engine conf=" + conf + " needs --engines-file FILE";
  else if (!conf.empty() && !definitions->count(conf)) {
    std::string known;
    for (const auto& d : *definitions) known += (known.empty() ? "" : ", ") + d.first;
    problem = "--engine conf=" + conf +
              ": the --engines-file names no such engine (it names: " + known + ")";
  }
  if (!problem.empty()) {
    *error = problem;
    return false;
  }
  words->clear();
  if (!conf.empty()) *words = definitions->at(conf);
  words->insert(words->end(), each.begin(), each.end());
  words->insert(words->end(), rest.begin(), rest.end());
  return true;
}

void ShareCommonClock(std::vector<EngineLaunch>* engines, GameSettings* settings) {
  if (engines->empty()) return;
  double budgetMs = 0, incMs = 0, b = 0, i = 0;
  ClockOf(engines->front(), *settings, &budgetMs, &incMs);
  for (const EngineLaunch& e : *engines) {
    ClockOf(e, *settings, &b, &i);
    if (b != budgetMs || i != incMs) return;
  }
  settings->budgetMs = budgetMs;
  settings->incMs = incMs;
  for (EngineLaunch& e : *engines) e.budgetMs = e.incMs = -1.0;
}
