// The settings file's reader: a unit of its own, so that a program that
// only writes settings carries no number parsing.
#include "lib/LIB_Data1_ReadWrite.h"

#include <charconv>
#include <cmath>

#include "lib/LIB_Data1_Format.h"
#include "lib/LIB_PackText.h"

using namespace Data1Format;

EDataFormatError::EDataFormatError(size_t offset, const std::string& what)
    : std::runtime_error("byte offset " + std::to_string(offset) + ": " + what), offset_(offset) {}

uint8_t TSettingsReader::Next(size_t item_start) {
  if (pos_ >= data_.size())
    throw EDataFormatError(pos_, item_start == pos_ ? "unexpected end of file"
                                                    : "file ends inside the item that starts at " +
                                                          std::to_string(item_start));
  const size_t at = pos_;
  const uint8_t b = static_cast<uint8_t>(data_[pos_++]);
  if (b == kEscapeByte) {
    if (pos_ >= data_.size())
      throw EDataFormatError(pos_, "file ends inside an escaped byte");
    const uint8_t e = static_cast<uint8_t>(data_[pos_++]);
    if (e < kEscapeShift || e > kEscapeShift + kEscapeByte)
      throw EDataFormatError(at, "escape followed by " + std::to_string(e));
    return static_cast<uint8_t>(e - kEscapeShift);
  }
  if (b < kEscapeByte) throw EDataFormatError(at, "unescaped control byte " + std::to_string(b));
  return b;
}

const std::string& TSettingsReader::Key(size_t item_start) const {
  if (key_.size() != kKeySize) throw EDataFormatError(item_start, "scrambled item before the key seed");
  return key_;
}

uint8_t TSettingsReader::ReadEscapedByte() { return Next(pos_); }

std::string TSettingsReader::ReadRawString() {
  const size_t start = pos_;
  const size_t low = Next(start);
  const size_t length = low + 256 * Next(start);
  std::string s;
  s.reserve(length);
  for (size_t i = 0; i < length; ++i) s += static_cast<char>(Next(start));
  return s;
}

std::string TSettingsReader::ReadKeySeed() {
  std::string seed = ReadRawString();
  key_ = MixKeySeed(seed);
  return seed;
}

uint8_t TSettingsReader::ReadTag() {
  const size_t start = pos_;
  const uint8_t b = Next(start);
  return static_cast<uint8_t>(b - static_cast<uint8_t>(Key(start)[kTagKeyOffset]));
}

std::string TSettingsReader::ReadString() {
  const size_t start = pos_;
  Key(start);
  const uint8_t salt = Next(start);
  if (salt == 0 || salt == 255) throw EDataFormatError(start, "string salt " + std::to_string(salt));
  const size_t low = Next(start);
  const size_t length = low + 256 * Next(start);
  std::string s;
  s.reserve(length);
  for (size_t i = 0; i < length; ++i)
    s += static_cast<char>(Next(start) - static_cast<uint8_t>(key_[(salt + i) % kKeySize]));
  SwapForSalt(key_, salt);
  return s;
}

int32_t TSettingsReader::ReadInteger() {
  const size_t start = pos_;
  const std::string text = ReadString();
  int32_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
    throw EDataFormatError(start, "not an integer");
  return value;
}

double TSettingsReader::ReadFloat() {
  const size_t start = pos_;
  const std::string text = ReadString();
  if (text == "NAN") return std::nan("");
  if (text == "INF") return HUGE_VAL;
  if (text == "-INF") return -HUGE_VAL;
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
    throw EDataFormatError(start, "not a number");
  return value;
}

std::string TSettingsReader::ReadPackedString() {
  const size_t start = pos_;
  const std::string packed = ReadRawString();
  try {
    return UnpackText(packed);
  } catch (const std::invalid_argument& e) {
    throw EDataFormatError(start, e.what());
  }
}
