#include <unistd.h>

#include "platform/entropy.h"

bool SystemRandomBytes(void* dest, std::size_t size) {
  unsigned char* out = static_cast<unsigned char*>(dest);
  while (size > 0) {
    const std::size_t chunk = size < kEntropyChunkBytes ? size : kEntropyChunkBytes;
    // getentropy waits for the kernel's pool once at boot, then never
    // blocks, and gives the whole chunk or fails.
    if (getentropy(out, chunk) != 0) return false;
    out += chunk;
    size -= chunk;
  }
  return true;
}
