#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/terminal.h"

bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

int StdoutColumns() {
  winsize size{};
  return ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}
