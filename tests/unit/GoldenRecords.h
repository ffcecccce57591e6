#pragma once
// Records kept as text files beside the tests: a test writes what it sees,
// one line per item, and the record must say the same. After a change meant
// to be seen, run the test with FX_UPDATE_GOLDEN=1 to rewrite the files from
// the code, and read their diff before committing it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

// In double quotes, with carriage returns, line feeds, quotes and
// backslashes escaped, so that every record is one line.
inline std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '"' || c == '\\') out += std::string("\\") + c;
    else out += c;
  }
  return out + '"';
}

// Fails with the first line of the record at path that differs from text.
inline void ExpectRecorded(const std::string& path, const std::string& text) {
  if (std::getenv("FX_UPDATE_GOLDEN")) std::ofstream(path, std::ios::binary) << text;
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "no " << path;
  const auto lines = [](const std::string& all) {
    std::vector<std::string> result;
    std::istringstream stream(all);
    for (std::string line; std::getline(stream, line);) result.push_back(line);
    return result;
  };
  const std::vector<std::string> expected = lines(std::string(std::istreambuf_iterator<char>(in), {}));
  const std::vector<std::string> actual = lines(text);
  for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
    const std::string want = i < expected.size() ? expected[i] : "(end)";
    const std::string got = i < actual.size() ? actual[i] : "(end)";
    if (want == got) continue;
    ADD_FAILURE() << path << ":" << i + 1 << "\n  recorded: " << want << "\n  now:      " << got;
    return;
  }
}
