// What the two engine fuzz targets share: one input as one message read
// from the console, handled as the engine's loop handles it.
#pragma once

#include <cstddef>
#include <cstdint>

// GO lines handled per input. A search at shot 11..15 draws one seed per
// random shot from the operating system, thousands per GO; a message of
// nothing but GO lines would take seconds and mask every real slowness, so
// the message is cut before the line of the GO after this many.
constexpr int kMaxGoPerMessage = 3;

// Sends stdout to /dev/null (replies are not checked, only survived) and
// runs the searches on one thread unless OMP_NUM_THREADS says otherwise:
// two fuzzers share the machine's two cores.
void SetUpEngineFuzzing();

// Starts from the all-zero record of a fresh process, copies at most one
// read's worth of bytes (the buffer less its terminating zero) into the
// message buffer and hands it to HandleMessage.
void HandleFuzzMessage(const uint8_t* data, std::size_t size);
