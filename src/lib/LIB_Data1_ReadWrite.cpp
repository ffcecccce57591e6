#include "lib/LIB_Data1_ReadWrite.h"

#include "lib/LIB_Data1_Format.h"
#include "lib/LIB_Random.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

std::string SettingsKey;

using namespace Data1Format;

namespace {

const std::string& CheckedKey() {
  if (SettingsKey.size() != kKeySize)
    throw std::logic_error("settings file: no key; MakeSettingsKey must start the file");
  return SettingsKey;
}

}  // namespace

void TDataOutput::Put(uint8_t byte) {
  if (closed_) throw std::logic_error("settings file: write after close");
  buffer_.push_back(static_cast<char>(byte));
  if (buffer_.size() >= kBlock) Flush();
}

void TDataOutput::Flush() {
  if (buffer_.empty()) return;
  sink_.Write(buffer_.data(), buffer_.size());
  buffer_.clear();
}

void TDataOutput::Close() {
  if (closed_) return;
  Flush();
  sink_.Close();
  closed_ = true;
}

bool TDataInput::Get(uint8_t& byte) {
  if (pos_ == end_) {
    end_ = source_.Read(buffer_.data(), buffer_.size());
    pos_ = 0;
    if (end_ == 0) return false;
  }
  byte = static_cast<uint8_t>(buffer_[pos_++]);
  return true;
}

std::string MixKeySeed(const std::string& seed) {
  std::string d = seed;
  if (d.size() < 300) d.resize(300, ' ');
  std::string key;
  key.reserve(kKeySize);
  // Positions are 1-based: d[p - 1] is the p-th byte.
  for (size_t p = d.size(); p >= 250; --p)
    if (p % 5 == 0 && key.size() < 150) key += d[p - 1];
  for (size_t p = 2; p <= d.size() && key.size() < kKeySize; p += 2) key += d[p - 1];
  while (key.size() < kKeySize) key += d[key.size() - 1];
  return key;
}

std::string MakeSettingsKey() {
  const size_t length = 879 + Random(99);
  std::string seed(length, '\0');
  for (char& c : seed) c = static_cast<char>(14 + Random(240));
  SettingsKey = MixKeySeed(seed);
  return seed;
}

void TLibData1_ReadWrite::WriteByte(TDataOutput& f, uint8_t b) {
  if (b <= kEscapeByte) {
    f.Put(kEscapeByte);
    f.Put(static_cast<uint8_t>(b + kEscapeShift));
  } else {
    f.Put(b);
  }
}

void TLibData1_ReadWrite::ReadByte(TDataInput& f, uint8_t& b) {
  uint8_t got = 0;
  if (!f.Get(got)) {
    b = kEndOfFileMark;
    return;
  }
  if (got == kEscapeByte) {
    if (!f.Get(got)) {
      b = kEndOfFileMark;
      return;
    }
    got = static_cast<uint8_t>(got - kEscapeShift);
  }
  b = got;
}

void TLibData1_ReadWrite::WriteTag(TDataOutput& f, uint8_t tag) {
  WriteByte(f, static_cast<uint8_t>(tag + static_cast<uint8_t>(CheckedKey()[kTagKeyOffset])));
}

void TLibData1_ReadWrite::WriteString(TDataOutput& f, const std::string& s) {
  // Checked before anything is drawn or written: a 16-bit length that
  // silently wrapped would make the rest of the file unreadable.
  if (s.size() > kMaxSettingsString)
    throw std::length_error("settings file: a string of " + std::to_string(s.size()) +
                            " bytes is too long (at most 65535)");
  const std::string& key = CheckedKey();
  const uint8_t salt = static_cast<uint8_t>(Random(254) + 1);
  WriteByte(f, salt);
  WriteByte(f, static_cast<uint8_t>(s.size() % 256));
  WriteByte(f, static_cast<uint8_t>(s.size() / 256));
  for (size_t i = 0; i < s.size(); ++i)
    WriteByte(f, static_cast<uint8_t>(static_cast<uint8_t>(s[i]) +
                                      static_cast<uint8_t>(key[(salt + i) % kKeySize])));
  SwapKeyBytes(salt, (salt + 2) % 256);
}

void TLibData1_ReadWrite::WriteRawString(TDataOutput& f, const std::string& s) {
  if (s.size() > kMaxSettingsString)
    throw std::length_error("settings file: a string of " + std::to_string(s.size()) +
                            " bytes is too long (at most 65535)");
  WriteByte(f, static_cast<uint8_t>(s.size() % 256));
  WriteByte(f, static_cast<uint8_t>(s.size() / 256));
  for (char c : s) WriteByte(f, static_cast<uint8_t>(c));
}

void TLibData1_ReadWrite::WritePackedString(TDataOutput& f, const std::string& packed) {
  WriteRawString(f, packed);
}

void TLibData1_ReadWrite::WriteInteger(TDataOutput& f, int32_t value) {
  char text[16];
  const auto result = std::to_chars(text, text + sizeof text, value);
  WriteString(f, std::string(text, result.ptr));
}

void TLibData1_ReadWrite::WriteFloat(TDataOutput& f, double value) {
  WriteString(f, FloatText(value));
}

void TLibData1_ReadWrite::WriteDateTime(TDataOutput& f, double value) { WriteFloat(f, value); }

void TLibData1_ReadWrite::SwapKeyBytes(int a, int b) {
  if (a == 0 || b == 0) return;
  std::string& key = SettingsKey;
  if (a < 1 || b < 1 || static_cast<size_t>(a) > key.size() || static_cast<size_t>(b) > key.size())
    throw std::out_of_range("settings key: no byte at position " + std::to_string(a) + " or " +
                            std::to_string(b));
  std::swap(key[a - 1], key[b - 1]);
}

namespace {

// Multiplies a number held in base-1e9 limbs, the lowest first, by a factor
// below 2^31.
void MultiplyLimbs(std::vector<uint32_t>& limbs, uint32_t factor) {
  uint64_t carry = 0;
  for (uint32_t& limb : limbs) {
    carry += uint64_t{limb} * factor;
    limb = static_cast<uint32_t>(carry % 1000000000);
    carry /= 1000000000;
  }
  for (; carry; carry /= 1000000000) limbs.push_back(static_cast<uint32_t>(carry % 1000000000));
}

// The first 15 significant digits of a finite, nonzero value, rounded to
// nearest with ties to even, without trailing zeros, and the power of ten of
// the first digit. Worked out exactly from the value's bits: the C library's
// formatting would link its whole floating-point printer into the program,
// to_chars some 180 KB of tables, and neither may depend on the locale here.
std::string RoundedDigits(double value, int& exponent) {
  int binaryExponent = 0;
  const double fraction = std::frexp(std::fabs(value), &binaryExponent);
  const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
  // |value| = mantissa * 2^power = the limbs' number / 10^point.
  int power = binaryExponent - 53;
  int point = 0;
  std::vector<uint32_t> limbs{static_cast<uint32_t>(mantissa % 1000000000),
                              static_cast<uint32_t>(mantissa / 1000000000 % 1000000000),
                              static_cast<uint32_t>(mantissa / 1000000000 / 1000000000)};
  while (power > 0) {
    const int step = std::min(power, 30);
    MultiplyLimbs(limbs, uint32_t{1} << step);
    power -= step;
  }
  // 2^-n = 5^n / 10^n; 5^13 is the largest power of five below 2^31.
  while (power < 0) {
    const int step = std::min(-power, 13);
    uint32_t five = 1;
    for (int i = 0; i < step; ++i) five *= 5;
    MultiplyLimbs(limbs, five);
    power += step;
    point += step;
  }
  while (limbs.back() == 0) limbs.pop_back();
  std::string digits;
  for (auto limb = limbs.rbegin(); limb != limbs.rend(); ++limb) {
    char group[9];
    uint32_t rest = *limb;
    for (int i = 8; i >= 0; --i, rest /= 10) group[i] = static_cast<char>('0' + rest % 10);
    digits.append(group, 9);
  }
  digits.erase(0, digits.find_first_not_of('0'));
  exponent = static_cast<int>(digits.size()) - 1 - point;
  if (digits.size() > 15) {
    const bool beyondHalf = digits.find_first_not_of('0', 16) != std::string::npos;
    const char next = digits[15];
    digits.resize(15);
    if (next > '5' || (next == '5' && (beyondHalf || (digits[14] - '0') % 2 == 1))) {
      size_t i = 15;
      while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
      if (i == 0) {
        digits.insert(digits.begin(), '1');
        digits.pop_back();
        ++exponent;
      } else {
        ++digits[i - 1];
      }
    }
  }
  digits.erase(std::max<size_t>(digits.find_last_not_of('0') + 1, 1));
  return digits;
}

}  // namespace

std::string FloatText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  int exponent = 0;
  const std::string digits = RoundedDigits(value, exponent);
  const bool negative = value < 0;

  std::string text = negative ? "-" : "";
  if (exponent >= -5 && exponent < 15) {
    if (exponent < 0) {
      text += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
      const size_t whole = static_cast<size_t>(exponent) + 1;
      if (digits.size() <= whole) {
        text += digits + std::string(whole - digits.size(), '0');
      } else {
        text += digits.substr(0, whole) + "." + digits.substr(whole);
      }
    }
  } else {
    text += digits.substr(0, 1);
    if (digits.size() > 1) text += "." + digits.substr(1);
    text += "E" + std::to_string(exponent);
  }
  return text;
}
