// fxdat: the settings file inspector.
//   fxdat pack TEXT              the packed bytes of TEXT in hex
//   fxdat unpack HEX             the text that packed bytes stand for
//   fxdat dump FILE [--upgrade]  every item of a settings file, in order
// Errors are one line on stderr and exit code 1; wrong usage exits with 2.

#include "install/SettingsFileReader.h"
#include "lib/LIB_Data1_ReadWrite.h"
#include "lib/LIB_PackText.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

int Usage() {
  std::cerr << "usage: fxdat pack TEXT | fxdat unpack HEX | fxdat dump FILE [--upgrade]\n";
  return 2;
}

std::string ToHex(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", c);
    if (!out.empty()) out += ' ';
    out += hex;
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Two hex digits per byte; blanks between bytes are allowed, so that the
// output of "pack" can be given back as it stands.
std::string FromHex(const std::string& text) {
  std::string bytes;
  int high = -1;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' || c == '\t') {
      if (high >= 0) throw std::invalid_argument("odd hex digit before position " + std::to_string(i));
      continue;
    }
    const int d = HexDigit(c);
    if (d < 0) throw std::invalid_argument("not a hex digit at position " + std::to_string(i));
    if (high < 0) {
      high = d;
    } else {
      bytes += static_cast<char>(high * 16 + d);
      high = -1;
    }
  }
  if (high >= 0) throw std::invalid_argument("odd number of hex digits");
  return bytes;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open \"" + path + "\"");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("cannot read \"" + path + "\"");
  return bytes;
}

int Dump(const std::string& path, TSettingsForm form) {
  const std::vector<TSettingsItem> items = ReadSettingsFile(ReadWholeFile(path), form);
  // Nothing is printed until the whole file has been read: a damaged file
  // gives its one error line and no partial listing.
  std::ostringstream out;
  for (const TSettingsItem& item : items) out << FormatSettingsItem(item) << '\n';
  std::cout << out.str();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    if (command == "pack" && argc == 3) {
      std::cout << ToHex(PackText(argv[2])) << '\n';
      return 0;
    }
    if (command == "unpack" && argc == 3) {
      std::cout << UnpackText(FromHex(argv[2])) << '\n';
      return 0;
    }
    if (command == "dump" && (argc == 3 || argc == 4)) {
      TSettingsForm form = TSettingsForm::Install;
      if (argc == 4) {
        if (std::string(argv[3]) != "--upgrade") return Usage();
        form = TSettingsForm::Upgrade;
      }
      try {
        return Dump(argv[2], form);
      } catch (const std::exception& e) {
        std::cerr << "fxdat: " << argv[2] << ": " << e.what() << '\n';
        return 1;
      }
    }
    return Usage();
  } catch (const std::exception& e) {
    std::cerr << "fxdat: " << e.what() << '\n';
    return 1;
  }
}
