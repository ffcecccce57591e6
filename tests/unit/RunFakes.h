#pragma once
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "install/PayloadWriter.h"
#include "install/RunProgress.h"

// A page's progress as the runs see it: records every position and status
// line, counts the rounds of messages it lets run, and runs the test's own
// hooks at them.
class TFakeProgress : public IRunProgress {
 public:
  explicit TFakeProgress(int32_t range = 100) : range_(range) {}  // 100: the bar's default range
  void SetRange(int32_t maximum) override { range_ = maximum; }
  int32_t Range() const override { return range_; }
  void SetPosition(int32_t position) override { positions.push_back(position); }
  void SetStatus(const std::string& text) override {
    statuses.push_back(text);
    if (OnStatus) OnStatus(text);
  }
  void LetMessagesRun() override {
    ++messageRuns;
    if (OnMessages) OnMessages();
  }

  std::vector<int32_t> positions;
  std::vector<std::string> statuses;
  int messageRuns = 0;
  std::function<void(const std::string&)> OnStatus;
  std::function<void()> OnMessages;

 private:
  int32_t range_;
};

// The uninstall log of an install into dir, with its data in dataDir, as it
// reads; the last line only with a desktop link.
inline std::string InstallLog(const std::string& dir, const std::string& dataDir, bool desktopLink = true) {
  return "Fotelix\r\n"
         "<F" + dir + "Fotelix.Exe>\r\n"
         "<F" + dir + "Fotelix.dat>\r\n"
         "<F" + dir + "Fotelix.bak>\r\n"
         "<F" + dir + "FXInst.Dat>\r\n"
         "<F" + dir + "Uninstall.Exe>\r\n"
         "<F" + dir + "Uninstall.Dat>\r\n"
         "<D" + dataDir + ">\r\n"
         "<E" + dir + ">\r\n"
         "<RSoftware\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Fotelix>\r\n"
         "<SFotelix>\r\n" +
         (desktopLink ? "<TFotelix.Lnk>\r\n" : "");
}

// The built program as the embedding step read it. Under Wine the host's
// root is drive Z:.
inline std::string BuiltProgram(const char* hostPath) {
#ifdef _WIN32
  std::string path = std::string("Z:") + hostPath;
  std::replace(path.begin(), path.end(), '/', '\\');
#else
  std::string path = hostPath;
#endif
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every position that one write of the payload reports.
inline std::vector<int32_t> PayloadPositions(const TPayload& p) {
  std::vector<int32_t> positions;
  for (uint32_t i = 1; i <= p.BlockCount; ++i) positions.push_back(static_cast<int32_t>(i * 1024));
  uint32_t total = 0;
  for (;;) {
    const uint32_t piece = std::min<uint32_t>(1024, p.ExpandedLength - total);
    total += piece;
    positions.push_back(static_cast<int32_t>(p.CompressedLength + total));
    if (piece < 1024) break;
  }
  return positions;
}
