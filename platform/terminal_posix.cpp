#include <unistd.h>

#include "platform/terminal.h"

bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }
