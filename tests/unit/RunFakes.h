#pragma once
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "install/InstallRun.h"

// The page's progress bar as the system's control behaves: the position
// stays within the range. Records every position it is given.
class TFakeRunBar : public IRunProgressBar {
 public:
  explicit TFakeRunBar(int32_t max = 100) : max_(max) {}  // 100: the control's default range
  void SetMax(int32_t max) override { max_ = max; }
  void SetPosition(int32_t position) override {
    position_ = std::min(std::max(position, 0), max_);
    positions.push_back(position);
  }
  int32_t Position() const override { return position_; }
  int32_t Max() const override { return max_; }
  std::vector<int32_t> positions;

 private:
  int32_t max_;
  int32_t position_ = 0;
};

class TFakeRunLabel : public ILabel {
 public:
  void SetCaption(const std::string& caption) override { captions.push_back(caption); }
  std::vector<std::string> captions;
};

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
