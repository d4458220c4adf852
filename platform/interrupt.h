// SIGINT and SIGTERM (on Windows Ctrl+C, Ctrl+Break and closing the
// console) as a request the runner answers in its own time: it stops
// starting games, prints what it has and exits. Someone who presses Ctrl+C
// twice does not want to wait for that, so the second ends the process at
// once. One source per platform.
#pragma once

// Installs the handlers; from then on the first interrupt is only recorded.
void WatchInterrupts();

// 0 while no interrupt has come, else its signal number: 2 for SIGINT (Ctrl+C),
// 15 for SIGTERM (and Ctrl+Break or a closed console).
int InterruptSignal();
