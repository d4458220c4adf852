// The operating system's cryptographically secure random bytes, drawn in
// as few system calls as the platform allows.
#pragma once

#include <cstddef>

// The most bytes that one call to the system gives on every platform
// (getentropy's limit); larger requests take several calls.
constexpr std::size_t kEntropyChunkBytes = 256;

// Fills dest with size random bytes from the operating system. False when
// the source failed; dest may then hold some random and some untouched bytes.
bool SystemRandomBytes(void* dest, std::size_t size);
