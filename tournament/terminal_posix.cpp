#include <unistd.h>

#include "tournament/terminal.h"

bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }
