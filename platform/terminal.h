// Whether the standard output is a terminal (then the runner keeps one
// progress line up to date in place). One source per platform.
#pragma once

bool StdoutIsTerminal();

// The columns of the terminal on the standard output; 0 when unknown.
int StdoutColumns();
