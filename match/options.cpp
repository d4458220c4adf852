#include "match/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kMaxEnds = 100;
constexpr int kMaxGames = 100000;
constexpr double kMsPerSecond = 1000.0;
constexpr int kMaxPauseMs = 10000;

bool ToInt(const std::string& text, int low, int high, int* out) {
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || v < low || v > high) return false;
  *out = static_cast<int>(v);
  return true;
}

bool ToDouble(const std::string& text, double low, double high, double* out) {
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(v) || v < low || v > high) return false;
  *out = v;
  return true;
}

bool ToSeed(const std::string& text, uint64_t* out) {
  char* end = nullptr;
  errno = 0;
  unsigned long long v = std::strtoull(text.c_str(), &end, 10);
  if (text.empty() || text[0] == '-' || *end != '\0' || errno != 0) return false;
  *out = v;
  return true;
}

// Options that take a value; returns false with error set when the value
// is bad. Unknown names are reported by the caller.
bool TakeValue(const std::string& name, const std::string& value, MatchOptions* o,
               std::string* error) {
  GameSettings& s = o->settings;
  double d = 0.0;
  bool ok = true;
  if (name == "--ends") {
    ok = ToInt(value, 1, kMaxEnds, &s.ends);
  } else if (name == "--games") {
    ok = ToInt(value, 1, kMaxGames, &o->games);
  } else if (name == "--noise") {
    ok = ToDouble(value, 0.0, 10.0, &d);
    s.noise = static_cast<float>(d);
  } else if (name == "--seed") {
    ok = ToSeed(value, &o->seed);
    o->haveSeed = ok;
  } else if (name == "--time") {
    ok = ToDouble(value, 0.001, 1e7, &d);
    s.budgetMs = d * kMsPerSecond;
  } else if (name == "--go-timeout") {
    ok = ToDouble(value, 0.001, 1e6, &d);
    s.goTimeoutMs = d * kMsPerSecond;
  } else if (name == "--pause-ms") {
    ok = ToInt(value, 0, kMaxPauseMs, &s.pauseMs);
  } else if (name == "--record") {
    o->record = value;
  } else if (name == "--html") {
    o->html = value;
  } else if (name == "--svg") {
    o->svgDir = value;
  } else if (name == "--engine-log") {
    o->engineLog = value;
  }
  if (!ok) *error = "bad value for " + name + ": '" + value + "'";
  return ok;
}

bool TakesValue(const std::string& name) {
  static const char* const kNames[] = {"--ends", "--games",      "--noise",    "--seed",
                                       "--time", "--go-timeout", "--pause-ms", "--record",
                                       "--svg",  "--engine-log", "--html"};
  for (const char* n : kNames)
    if (name == n) return true;
  return false;
}

}  // namespace

ParseOutcome ParseOptions(int argc, const char* const* argv, MatchOptions* o, std::string* error) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    bool inlineValue = false;
    const size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      inlineValue = true;
    }
    if (arg == "--help" || arg == "-h") return ParseOutcome::kHelp;
    if (arg == "--extra-ends" || arg == "--no-extra-ends") {
      o->settings.extraEnds = arg == "--extra-ends";
      continue;
    }
    if (TakesValue(arg)) {
      if (!inlineValue) {
        if (i + 1 >= argc) {
          *error = arg + " needs a value";
          return ParseOutcome::kError;
        }
        value = argv[++i];
      }
      if (!TakeValue(arg, value, o, error)) return ParseOutcome::kError;
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') {
      *error = "unknown option " + arg;
      return ParseOutcome::kError;
    }
    positional.push_back(argv[i]);
  }
  if (positional.size() == 1 || positional.size() > 2) {
    *error = "give both engine command lines or none";
    return ParseOutcome::kError;
  }
  for (size_t k = 0; k < positional.size(); ++k) o->engines[k] = positional[k];
  return ParseOutcome::kRun;
}

std::string UsageText() {
  return "usage: curling-match [options] [ENGINE_A ENGINE_B]\n"
         "       curling-match replay RECORD\n"
         "Plays curling games between two engine processes over the engine protocol.\n"
         "ENGINE_A, ENGINE_B: command lines, split at spaces (no quoting, no shell);\n"
         "  default for both: the curling-engine next to this program.\n"
         "  --ends N          ends per game (default 10)\n"
         "  --games K         games, in pairs that swap the first end's hammer (default 1)\n"
         "  --extra-ends      play extra ends after a tie (default)\n"
         "  --no-extra-ends   a tie after the last end is a draw\n"
         "  --noise SD        execution error, m (default 0.145)\n"
         "  --seed S          seed of the execution error (default: random, printed)\n"
         "  --time SEC        thinking time per engine per game (default 900)\n"
         "  --go-timeout SEC  longest wait for one reply (default 60)\n"
         "  --pause-ms MS     pause after each command without a reply (default 5)\n"
         "  --record FILE     the game as JSON, rewritten after every end\n"
         "                    (with --games K > 1, one file per game: game.json gives\n"
         "                    game-1.json, game-2.json ...)\n"
         "  --svg DIR         one SVG picture of the house per stone\n"
         "  --html FILE       the game's replay page (with --games K > 1, one page per\n"
         "                    game numbered like the records, and FILE is their index)\n"
         "  --engine-log DIR  the engines' standard error in DIR/engine-A.log, engine-B.log\n"
         "  --help            this text\n"
         "replay RECORD: re-executes every stone of a record with its seed through the\n"
         "  physics library; exit 0 when every stone rests where the record says, 1\n"
         "  naming the first that does not, 2 when the record cannot be read.\n";
}
