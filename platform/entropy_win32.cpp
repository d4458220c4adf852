// rand_s comes with msvcrt.dll and is documented to draw from RtlGenRandom,
// the system's secure generator; RtlGenRandom itself lives in advapi32.dll,
// which the engine does not import. rand_s gives 32 bits per call.
#define _CRT_RAND_S
#include <stdlib.h>

#include <cstring>

#include "platform/entropy.h"

bool SystemRandomBytes(void* dest, std::size_t size) {
  unsigned char* out = static_cast<unsigned char*>(dest);
  while (size > 0) {
    unsigned int word = 0;
    if (rand_s(&word) != 0) return false;
    const std::size_t take = size < sizeof word ? size : sizeof word;
    std::memcpy(out, &word, take);
    out += take;
    size -= take;
  }
  return true;
}
