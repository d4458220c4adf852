// Failing a fuzz target on a broken guarantee. tools/fuzz.sh runs the
// targets with their standard error closed (the engine echoes every message
// there), so the reason goes out through the sanitizers' report channel,
// which libFuzzer keeps open; a build without sanitizers prints it.
#pragma once

#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((weak)) void __sanitizer_report_error_summary(const char* text);

[[noreturn]] inline void FuzzFail(const char* what) {
  char text[256];
  std::snprintf(text, sizeof text, "contract broken: %s", what);
  if (__sanitizer_report_error_summary != nullptr) {
    __sanitizer_report_error_summary(text);
  } else {
    std::fprintf(stderr, "%s\n", text);
  }
  std::abort();
}
