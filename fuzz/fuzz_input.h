// Reads typed values off the front of a fuzzer's input; past its end every
// byte reads as zero, so a target never has to check what is left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

struct FuzzInput {
  const uint8_t* data;
  std::size_t size;

  bool Empty() const { return size == 0; }

  // Copies sizeof(T) bytes (zeros past the end) into a T of trivial type.
  template <typename T>
  T Take() {
    T value;
    uint8_t bytes[sizeof(T)] = {};
    const std::size_t n = size < sizeof(T) ? size : sizeof(T);
    std::memcpy(bytes, data, n);
    data += n;
    size -= n;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
  }
};
