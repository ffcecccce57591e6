#pragma once
#include <gtest/gtest.h>

#include <cctype>
#include <string>

// A parameterised case's name, as a test's name takes it: the words of its
// name, each capitalised, joined.
template <class TCase>
std::string CaseName(const testing::TestParamInfo<TCase>& info) {
  std::string name;
  bool wordStarts = true;
  for (const char c : std::string(info.param.name)) {
    const bool letter = std::isalnum(static_cast<unsigned char>(c)) != 0;
    if (letter) name += wordStarts ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
    wordStarts = !letter;
  }
  return name;
}
