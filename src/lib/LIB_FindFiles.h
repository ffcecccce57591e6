#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

// Decides whether a found file (its full path) is added to the result.
using TFindFilter = std::function<bool(const std::string& path)>;
// Receives the progress as a percentage from 0 to 100; true asks the search
// to stop (a later report may clear that again).
using TFindProgress = std::function<bool(uint8_t percent)>;

// Searches drive roots and extra folders, recursively, for files matching
// any of the masks.
//   masks:     patterns such as "Fotelix.exe" separated by ";"; none, or
//              only blanks and semicolons, means "*.*"; "*" means "*.*".
//   driveKind: 0 the current drive; 1 fixed disks; 2 also removable drives
//              and RAM disks; 3 also network and CD-ROM drives; 4 to 255 no
//              drive at all.
//   folders:   extra start folders separated by ";", searched after the
//              drives.
//   maxCount:  0 for no limit; otherwise files stop being added once the
//              result holds this many, though every folder is still walked.
// Hidden folders are not entered, hidden files are found; links to folders
// (junctions and symbolic links) are never followed, so that a loop cannot
// make the search endless. The result holds each path once (compared
// without regard to case), sorted without regard to case.
std::vector<std::string> FindFiles(TPlatform& os, const std::string& masks, uint8_t driveKind,
                                   const std::string& folders, int32_t maxCount,
                                   const TFindFilter& onFilter, const TFindProgress& onProgress);
