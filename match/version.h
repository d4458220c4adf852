// The runner's version, printed by --version and written into every record
// and results file.
#pragma once

constexpr const char* kRunnerVersion = "2.0.0";
