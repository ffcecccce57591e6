// The settings file's reader on any bytes, in the install and the upgrade
// form: the items lie in the file in order, a damaged file is refused with
// an offset inside it, and nothing else escapes. ReadByte, which reads
// without checking, must give the bytes that the checking reader gives.

#include "FuzzCheck.h"
#include "install/SettingsFileReader.h"
#include "lib/LIB_Data1_ReadWrite.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

// Hands the bytes over a few at a time, so that the input refills its buffer.
class TTrickle : public TDataSource {
 public:
  explicit TTrickle(const std::string& bytes) : bytes_(bytes) {}
  size_t Read(char* data, size_t size) override {
    const size_t n = std::min({size, bytes_.size() - pos_, size_t{7}});
    std::memcpy(data, bytes_.data() + pos_, n);
    pos_ += n;
    return n;
  }

 private:
  const std::string& bytes_;
  size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (TSettingsForm form : {TSettingsForm::Install, TSettingsForm::Upgrade}) {
    try {
      size_t next = 0;
      for (const TSettingsItem& item : ReadSettingsFile(bytes, form)) {
        FUZZ_CHECK(item.Offset >= next && item.Offset < size);
        next = item.Offset + 1;
        FUZZ_CHECK(!FormatSettingsItem(item).empty());
      }
    } catch (const EDataFormatError& e) {
      FUZZ_CHECK(e.Offset() <= size);
    }
  }

  TTrickle source(bytes);
  TDataInput input(source);
  TSettingsReader checked(bytes);
  TLibData1_ReadWrite unchecked;
  uint8_t b = 0;
  try {
    while (!checked.AtEnd()) {
      const uint8_t expected = checked.ReadEscapedByte();
      unchecked.ReadByte(input, b);
      FUZZ_CHECK(b == expected);
    }
    unchecked.ReadByte(input, b);
    FUZZ_CHECK(b == 26);  // the end-of-file mark
  } catch (const EDataFormatError&) {
  }
  return 0;
}
