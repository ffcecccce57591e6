#pragma once
// The byte format that the settings file's writer and reader share.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace Data1Format {

inline constexpr uint8_t kEscapeByte = 31;
inline constexpr uint8_t kEscapeShift = 84;
inline constexpr uint8_t kEndOfFileMark = 26;
inline constexpr size_t kKeySize = 256;
// The tag's key byte; a scrambled string with salt 15 or 17 moves a new byte
// here, so one tag value may look different before and after it.
inline constexpr size_t kTagKeyOffset = 16;

// After a string scrambled under a salt, the key swaps two of its bytes.
inline void SwapForSalt(std::string& key, uint8_t salt) {
  // Positions salt and salt + 2 (1-based); for salt 254 the second wraps to
  // 0, which means no swap.
  const int second = (salt + 2) % 256;
  if (salt != 0 && second != 0) std::swap(key[salt - 1], key[second - 1]);
}

}  // namespace Data1Format
