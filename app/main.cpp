// curling-engine: a computer curling player driven by a game server over its
// standard input and output.
#include "app/protocol.h"

int main() { return RunEngine(); }
