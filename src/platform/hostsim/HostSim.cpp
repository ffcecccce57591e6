// The simulated process: its program file and its clock.
#include "platform/hostsim/HostSim.h"

#include "lib/LIB_Text.h"

namespace fs = std::filesystem;

namespace {

// Days since 1970-01-01 of a civil date, and back: the proleptic Gregorian
// calendar in eras of 400 years.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

}  // namespace

THostSimPlatform::THostSimPlatform(fs::path stateFolder) : stateFolder_(std::move(stateFolder)) {
  SetClock(TLocalTime{2026, 1, 5, 1, 12, 0, 0, 0});
}

void THostSimPlatform::SetProgramPath(const std::string& path) {
  programPath_ = path;
  if (!Resolve(path, programHost_)) programHost_.clear();
}

bool THostSimPlatform::IsThisProgram(const std::string& path) {
  std::error_code ec;
  return IsProgramFile(path) && fs::is_regular_file(fs::symlink_status(HostPath(path), ec));
}

bool THostSimPlatform::IsProgramFile(const std::string& path) const {
  // Where the host's names match without case too (Windows), in any spelling.
  const auto spelled = [](const fs::path& host) { return LowerCase(host.lexically_normal().make_preferred().string()); };
  fs::path host;
  return !programHost_.empty() && Resolve(path, host) && spelled(host) == spelled(programHost_);
}

void THostSimPlatform::SetClock(const TLocalTime& now) {
  const int64_t days = DaysFromCivil(now.Year, now.Month, now.Day);
  clockMs_ = ((days * 24 + now.Hour) * 60 + now.Minute) * 60000 + now.Second * 1000 +
             now.Millisecond;
}

void THostSimPlatform::Sleep(uint32_t milliseconds) {
  clockMs_ += milliseconds;
  slept_ += milliseconds;
}

TLocalTime THostSimPlatform::LocalTime() {
  const int64_t days = clockMs_ >= 0 ? clockMs_ / 86400000 : -((-clockMs_ + 86399999) / 86400000);
  const int64_t ms = clockMs_ - days * 86400000;
  TLocalTime t;
  CivilFromDays(days, t.Year, t.Month, t.Day);
  t.DayOfWeek = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday (4)
  t.Hour = static_cast<int>(ms / 3600000);
  t.Minute = static_cast<int>(ms / 60000 % 60);
  t.Second = static_cast<int>(ms / 1000 % 60);
  t.Millisecond = static_cast<int>(ms % 1000);
  return t;
}

