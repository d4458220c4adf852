// A test double of an engine: one read per message as the real engine does,
// ISREADY and GO answered without a line terminator, misbehaviour on request.
//
//   fake_engine [--log FILE] [--pid FILE] [--spawn FILE] [--plan X,Y;X,Y;...]
//               [--fault KIND@N] [--delay-ms MS] [--echo] [--no-ready]
//
// --plan: every GO of end k is answered BESTSHOT X Y 0 with the k-th pair
//   (the last pair for later ends); the stand-in physics rests the stone at
//   (X, Y). --log: every read appended, followed by a 0x1E byte.
// --fault KIND@N, at the N-th GO of the process: crash (exit 3), hang (stop
//   reading and answering for good), garbage, double (two replies), silent
//   (no reply, but go on reading), late (the reply 450 ms late), flood
//   (white space without end, never reading again), hex (a reply with a
//   hexadecimal float).
// --spawn FILE: at start, fork a child that writes its pid to FILE and
//   sleeps for a minute, holding the standard output open.
// --fds FILE: at start, write to FILE how many descriptors beyond the
//   standard three the process holds.
// --echo: an echo line "recieved: MESSAGE" on the standard output first.
#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

void Write(const std::string& text) {
  ssize_t ignored = write(STDOUT_FILENO, text.data(), text.size());
  (void)ignored;
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void WriteExtraFdCount(const char* path) {
  int extra = 0;
  if (DIR* fds = opendir("/proc/self/fd")) {
    while (const dirent* e = readdir(fds)) {
      const int fd = std::atoi(e->d_name);
      extra += e->d_name[0] != '.' && fd > 2 && fd != dirfd(fds);
    }
    closedir(fds);
  }
  if (FILE* f = std::fopen(path, "w")) std::fprintf(f, "%d\n", extra), std::fclose(f);
}

void WritePid(const char* path) {
  if (FILE* f = std::fopen(path, "w"))
    std::fprintf(f, "%d\n", static_cast<int>(getpid())), std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
  std::string log, fault;
  std::vector<std::pair<double, double>> plan;
  int faultAt = 0, delayMs = 0;
  bool echo = false, ready = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : "";
    if (a == "--echo") echo = true;
    if (a == "--no-ready") ready = false;
    if (a == "--log") log = v;
    if (a == "--delay-ms") delayMs = std::atoi(v);
    if (a == "--pid") WritePid(v);
    if (a == "--fds") WriteExtraFdCount(v);
    if (a == "--spawn" && fork() == 0) {
      WritePid(v);
      Sleep(60000);
      return 0;
    }
    if (a == "--fault") {
      fault.assign(v, std::strcspn(v, "@"));
      faultAt = std::strchr(v, '@') ? std::atoi(std::strchr(v, '@') + 1) : 1;
    }
    for (const char* p = v; a == "--plan" && *p; p += *p == ';') {
      double x = 0, y = 0;
      int used = 0;
      if (std::sscanf(p, "%lf,%lf%n", &x, &y, &used) != 2) break;
      plan.push_back({x, y});
      p += used;
    }
  }
  if (plan.empty()) plan.push_back({2.375, 4.88});

  int go = 0, endIndex = 0;
  for (;;) {
    char buffer[1024];
    const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) return 0;
    const std::string text(buffer, static_cast<size_t>(n));
    if (FILE* f = log.empty() ? nullptr : std::fopen(log.c_str(), "ab"))
      std::fprintf(f, "%s\x1e", text.c_str()), std::fclose(f);
    if (echo) Write("recieved: " + text + "\n");
    if (text.rfind("ISREADY", 0) == 0 && ready) Write("READYOK");
    if (text.rfind("SETSTATE", 0) == 0) std::sscanf(text.c_str(), "SETSTATE %*d %d", &endIndex);
    if (text.rfind("GO", 0) != 0) continue;
    if (delayMs > 0) Sleep(delayMs);
    const auto& shot = plan[std::min<size_t>(static_cast<size_t>(endIndex), plan.size() - 1)];
    char reply[128];
    std::snprintf(reply, sizeof reply, "BESTSHOT %f %f 0", shot.first, shot.second);
    const std::string kind = ++go == faultAt ? fault : "";
    if (kind == "crash") std::exit(3);
    while (kind == "hang") pause();
    if (kind == "late") Sleep(450);
    if (kind == "garbage") Write("BESTSHOT 1.0 banana 0");
    if (kind == "hex") Write("BESTSHOT 0x1.3p1 4.88 0");
    while (kind == "flood") Write(std::string(512, ' ') + "\n");
    if (kind == "double") Write(std::string(reply) + reply);
    if (kind.empty() || kind == "late") Write(reply);
  }
}
