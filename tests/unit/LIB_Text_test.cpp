#include "lib/LIB_Text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The sorts of folder names and search results rest on this order: it must
// be a strict order that agrees with comparing the lowered names.
TEST(LibText, LessTextOrdersByLoweredBytes) {
  struct Case {
    std::string a, b;
    bool less;
  };
  const Case cases[] = {
      {"apple", "Banana", true},     {"Banana", "apple", false},
      {"FOLDER", "folder", false},   {"folder", "FOLDER", false},  // equal ignoring case
      {"Fotelix", "Fotelix2", true}, {"Fotelix2", "Fotelix", false},  // a name before its continuations
      {"", "a", true},               {"a", "", false},
      {"Z", "\xC4rzte", true},       {"\xC4rzte", "z", false},  // bytes above 127 after the letters
      {"a_b", "A[b", false},         {"A[b", "a_b", true},  // '[' (91) before '_' (95), lowered or not
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LessText(c.a, c.b), c.less) << c.a << " < " << c.b;
    EXPECT_EQ(LessText(c.a, c.b), LowerCase(c.a) < LowerCase(c.b)) << c.a << " < " << c.b;
  }
}

}  // namespace
