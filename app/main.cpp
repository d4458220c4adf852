// curling-engine: a computer curling player driven by a game server over its
// standard input and output.
#include <cstdio>

#include "app/options.h"
#include "app/protocol.h"
#include "app/search_player.h"

int main(int argc, char** argv) {
  const ParsedOptions parsed = ParseEngineOptions(argc, argv);
  if (parsed.exit) {
    std::fputs(parsed.out.c_str(), stdout);
    std::fputs(parsed.err.c_str(), stderr);
    return parsed.status;
  }
  if (parsed.options.player == PlayerKind::kSearch) {
    InstallSearchPlayer(parsed.options);
    return RunEngine(BindSearchPhysics);
  }
  return RunEngine();
}
