#include "lib/LIB_PackText.h"

#include "lib/LIB_Endpoints.h"

#include <array>
#include <cstdint>
#include <stdexcept>

namespace {

constexpr char kEscape = 'Q';

// Entry i of the dictionary is replaced by "Q" and the i-th code letter.
constexpr char kCodeLetters[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXabcdefghijklmnopqrstuvwx/\\:0123456789.";
constexpr int kEntryCount = 62;
static_assert(sizeof(kCodeLetters) - 1 == kEntryCount);

// Applied first to last; the order decides between overlapping entries, so
// the four full site addresses come before the bare prefixes.
const char* const kDictionary[kEntryCount] = {
    kMakerWebSite, kProductWebSite, kSearchEngine1, kSearchEngine2,
    "http:/www.", "http://WWW.", "http://", "HTTP://", "Http://", "WWW.", "www.",
    ".com/", ".COM/", ".com", ".COM", ".net/", ".NET/", ".net", ".NET",
    ".HTML", ".html", ".htm", ".HTM", ".mp3", ".MP3", ".Mp3", ".wma", ".WMA",
    ".avi", ".AVI", ".MPG", ".mpg", ".MPEG", ".mpeg", ".asf", ".ASF",
    ".JPG", ".jpg", ".Jpg", ".GIF", ".gif", ".ZIP", ".zip", ".Zip",
    ".exe", ".EXE", ".iso", ".ISO",
    " the ", " The ", " sex", " xxx ", " XXX ", " girl", " Girl", " - ",
    "index", " with ", " new ", "01 ", "02 ", "03 "};

// The entry that a code letter stands for, or -1.
int EntryOfCode(char c) {
  for (int i = 0; i < kEntryCount; ++i)
    if (kCodeLetters[i] == c) return i;
  return -1;
}

struct BitCode {
  int cls;    // number of leading all-zero groups, 0 to 4
  int value;  // the closing group, 1 to 63
};

BitCode CodeOf(uint8_t b) {
  if (b == 32) return {0, 1};
  if (b >= 46 && b <= 58) return {0, b - 44};
  if (b >= 65 && b <= 88) return {0, b - 50};
  if (b >= 97 && b <= 120) return {0, b - 58};
  if (b == 92) return {0, 63};
  if (b >= 121 && b <= 126) return {1, b - 120};
  if (b >= 89 && b <= 91) return {1, b - 82};
  if (b >= 93 && b <= 96) return {1, b - 83};
  if (b >= 59 && b <= 64) return {1, b - 45};
  if (b >= 33 && b <= 45) return {1, b - 13};
  if (b >= 127 && b <= 157) return {1, b - 94};
  if (b >= 158 && b <= 220) return {2, b - 157};
  if (b >= 221) return {3, b - 220};
  if (b >= 4) return {3, b + 32};
  return {4, b + 1};
}

constexpr int kClassCount = 5;

// decode[cls][value]: the byte, or -1 for a pair that no byte owns.
using DecodeTable = std::array<std::array<int, 64>, kClassCount>;

const DecodeTable& Decoder() {
  static const DecodeTable table = [] {
    DecodeTable t;
    for (auto& row : t) row.fill(-1);
    for (int b = 0; b < 256; ++b) {
      const BitCode c = CodeOf(static_cast<uint8_t>(b));
      t[c.cls][c.value] = b;
    }
    return t;
  }();
  return table;
}

std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    out += c;
    if (c == kEscape) out += ' ';
  }
  return out;
}

std::string Substitute(std::string work) {
  for (int i = 0; i < kEntryCount; ++i) {
    const std::string entry = kDictionary[i];
    const std::string code{kEscape, kCodeLetters[i]};
    // Leftmost occurrence first, again and again. A replacement cannot make a
    // new occurrence begin before it, since no entry contains a "Q", so the
    // search goes on from there instead of from the start: the same result,
    // without the quadratic time on long hostile input.
    for (size_t at = work.find(entry); at != std::string::npos; at = work.find(entry, at))
      work.replace(at, entry.size(), code);
  }
  return work;
}

class BitWriter {
 public:
  void Put(int value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      acc_ = static_cast<uint8_t>((acc_ << 1) | ((value >> i) & 1));
      if (++count_ == 8) {
        out_ += static_cast<char>(acc_);
        acc_ = 0;
        count_ = 0;
      }
    }
  }
  std::string Finish() {
    if (count_ > 0) out_ += static_cast<char>(acc_ << (8 - count_));
    count_ = 0;
    acc_ = 0;
    return std::move(out_);
  }

 private:
  std::string out_;
  uint8_t acc_ = 0;
  int count_ = 0;
};

std::string BitDecode(const std::string& packed) {
  const size_t total = packed.size() * 8;
  auto bit = [&](size_t i) {
    return (static_cast<uint8_t>(packed[i / 8]) >> (7 - i % 8)) & 1;
  };
  auto zeros_from = [&](size_t pos) {
    for (size_t i = pos; i < total; ++i)
      if (bit(i)) return false;
    return true;
  };
  std::string work;
  size_t pos = 0;
  while (pos < total) {
    // The last byte is filled up with zero bits; fewer than eight of them
    // after a complete code are that filling, never the start of a code.
    if (total - pos < 8 && zeros_from(pos)) break;
    const size_t start = pos;
    int cls = 0;
    for (;;) {
      if (total - pos < 6)
        throw std::invalid_argument("packed text: code cut off at bit " + std::to_string(start));
      int group = 0;
      for (int i = 0; i < 6; ++i) group = (group << 1) | bit(pos++);
      if (group != 0) {
        const int b = cls < kClassCount ? Decoder()[cls][group] : -1;
        if (b < 0)
          throw std::invalid_argument("packed text: unknown code at bit " + std::to_string(start));
        work += static_cast<char>(b);
        break;
      }
      if (++cls >= kClassCount)
        throw std::invalid_argument("packed text: unknown code at bit " + std::to_string(start));
    }
  }
  return work;
}

// Undoing the substitution reads every "Q" with the byte after it. One
// reading is lost on the way: a later entry that begins with a space or a
// code letter can swallow the second byte of an earlier "Q" pair, leaving
// "QQ" behind, which is also the pair of ".NET/" ("Qthe " and ".NET//" both
// become "QQ/"). The pair reading is the one given back, since the texts
// packed are web addresses; where it does not pack to the same bytes (after
// "WWW", or where a chain of entries took each other's bytes), the text is
// refused. Bytes that no text packs to, such as "www." left unsubstituted,
// are refused the same way, by packing the result again.
std::string Unsubstitute(const std::string& work) {
  std::string text;
  for (size_t pos = 0; pos < work.size(); ++pos) {
    if (work[pos] != kEscape) {
      text += work[pos];
      continue;
    }
    if (++pos >= work.size()) throw std::invalid_argument("packed text: ends with a lone \"Q\"");
    if (work[pos] == ' ') {
      text += kEscape;
      continue;
    }
    const int entry = EntryOfCode(work[pos]);
    if (entry < 0)
      throw std::invalid_argument("packed text: \"Q\" before a byte that is no code, at " +
                                  std::to_string(pos));
    text += kDictionary[entry];
  }
  if (Substitute(Escape(text)) != work)
    throw std::invalid_argument("packed text: not in the form that packing produces");
  return text;
}

}  // namespace

std::string PackText(const std::string& text) {
  const std::string work = Substitute(Escape(text));
  BitWriter bits;
  for (char c : work) {
    const BitCode code = CodeOf(static_cast<uint8_t>(c));
    bits.Put(0, 6 * code.cls);
    bits.Put(code.value, 6);
  }
  return bits.Finish();
}

std::string UnpackText(const std::string& packed) {
  const std::string work = BitDecode(packed);
  return Unsubstitute(work);
}
