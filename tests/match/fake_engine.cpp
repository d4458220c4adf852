// A test double of an engine: reads its standard input one read per
// message as the real engine does, answers ISREADY and GO without a line
// terminator, and misbehaves on request.
//
//   fake_engine [--log FILE] [--pid FILE] [--plan X,Y;X,Y;...] [--fault KIND@N]
//               [--delay-ms MS] [--echo] [--no-ready]
//
// --plan: the reply to every GO of end k is BESTSHOT X Y 0 with the k-th
//   pair (the last pair for later ends); the exact stand-in physics puts the
//   stone at (X, Y). --log: every read appended, followed by a 0x1E byte.
// --fault KIND@N, at the N-th GO (from 1): crash (exit 3), hang (stop reading
//   and answering for good), garbage, double (two replies), silent (no reply,
//   but go on reading), late (the reply 450 ms late).
// --delay-ms: think this long before every reply. --echo: write the
//   "recieved: " echo to the standard output instead of the error stream.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr size_t kMessageBytes = 1024;
constexpr char kLogSeparator = '\x1e';
constexpr int kLateMs = 450;  // the delay of a "late" reply

struct Options {
  std::string log;
  std::vector<std::pair<double, double>> plan{{2.375, 4.88}};
  std::string fault;
  int faultAt = 0;
  int delayMs = 0;
  bool echo = false;
  bool ready = true;
};

void Write(const std::string& text) {
  ssize_t ignored = write(STDOUT_FILENO, text.data(), text.size());
  (void)ignored;
}

std::vector<std::pair<double, double>> ParsePlan(const std::string& text) {
  std::vector<std::pair<double, double>> plan;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(';', start);
    std::string pair = text.substr(start, end == std::string::npos ? end : end - start);
    double x = 0.0, y = 0.0;
    if (std::sscanf(pair.c_str(), "%lf,%lf", &x, &y) == 2) plan.push_back({x, y});
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return plan;
}

Options ParseArgs(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    std::string v = i + 1 < argc ? argv[i + 1] : "";
    if (a == "--log") o.log = v, ++i;
    if (a == "--plan") o.plan = ParsePlan(v), ++i;
    if (a == "--delay-ms") o.delayMs = std::atoi(v.c_str()), ++i;
    if (a == "--echo") o.echo = true;
    if (a == "--no-ready") o.ready = false;
    if (a == "--pid") {
      FILE* f = std::fopen(v.c_str(), "w");
      if (f) std::fprintf(f, "%d\n", static_cast<int>(getpid())), std::fclose(f);
      ++i;
    }
    if (a == "--fault") {
      size_t at = v.find('@');
      o.fault = v.substr(0, at);
      o.faultAt = at == std::string::npos ? 1 : std::atoi(v.c_str() + at + 1);
      ++i;
    }
  }
  return o;
}

std::string Word(const std::string& message) {
  size_t start = message.find_first_not_of(' ');
  if (start == std::string::npos) return "";
  size_t end = message.find_first_of(" \r\n", start);
  return message.substr(start, end == std::string::npos ? end : end - start);
}

void Answer(const Options& o, int go, int endIndex) {
  if (o.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(o.delayMs));
  const auto& shot = o.plan[std::min<size_t>(endIndex < 0 ? 0 : endIndex, o.plan.size() - 1)];
  char reply[128];
  std::snprintf(reply, sizeof reply, "BESTSHOT %f %f %d", shot.first, shot.second, 0);
  const bool faulty = go == o.faultAt;
  if (faulty && o.fault == "crash") std::exit(3);
  if (faulty && o.fault == "hang") {
    for (;;) pause();
  }
  if (faulty && o.fault == "garbage") return Write("BESTSHOT 1.0 banana 0");
  if (faulty && o.fault == "double") return Write(std::string(reply) + reply);
  if (faulty && o.fault == "silent") return;
  if (faulty && o.fault == "late") std::this_thread::sleep_for(std::chrono::milliseconds(kLateMs));
  Write(reply);
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = ParseArgs(argc, argv);
  int go = 0;
  int endIndex = 0;
  for (;;) {
    char message[kMessageBytes + 1] = {};
    ssize_t n = read(STDIN_FILENO, message, kMessageBytes);
    if (n <= 0) return 0;
    const std::string text(message, static_cast<size_t>(n));
    if (!o.log.empty()) {
      FILE* f = std::fopen(o.log.c_str(), "ab");
      if (f) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fputc(kLogSeparator, f);
        std::fclose(f);
      }
    }
    const std::string echo = "recieved: " + text + "\n";
    if (o.echo)
      Write(echo);
    else
      std::fputs(echo.c_str(), stderr);
    const std::string word = Word(text);
    if (word == "ISREADY" && o.ready) Write("READYOK");
    if (word == "SETSTATE") {
      int shot = 0, lastEnd = 0, side = 0;
      std::sscanf(text.c_str(), "SETSTATE %d %d %d %d", &shot, &endIndex, &lastEnd, &side);
    }
    if (word == "GO") Answer(o, ++go, endIndex);
  }
}
