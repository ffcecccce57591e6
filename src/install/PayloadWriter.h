#pragma once
#include <cstdint>
#include <string>

#include "lib/LIB_Percent.h"
#include "platform/Platform.h"

// A carried file as it is stored in the setup program: one zlib stream at
// the start of BlockCount whole blocks of kPayloadBlockSize bytes.
inline constexpr uint32_t kPayloadBlockSize = 1024;

struct TPayload {
  const unsigned char* Data;
  uint32_t BlockCount;
  uint32_t CompressedLength;
  uint32_t ExpandedLength;
  // The range of positions that one write reports, ending at its last.
  uint32_t ProgressSpan() const { return CompressedLength + ExpandedLength; }
};

const TPayload& ProgramPayload();
const TPayload& UninstallerPayload();

// The progress bar and the percentage label of a page, as the writers see
// them. The page adapts its own controls; engines never touch one.
class IProgressBar {
 public:
  virtual ~IProgressBar() = default;
  virtual void SetPosition(int32_t position) = 0;
  // The position as the bar holds it, which may differ from the one set.
  virtual int32_t Position() const = 0;
  virtual int32_t Max() const = 0;
};

class ILabel {
 public:
  virtual ~ILabel() = default;
  virtual void SetCaption(const std::string& caption) = 0;
};

// Restores the payload to path, replacing an existing file. The data is
// restored into a temporary file made new beside path (path + ".new", or
// the first free name after it, never anything already there), which
// replaces path only once it is complete; on any failure (path in use,
// damaged data, full disk) an error is raised that names path and the cause
// ("Cannot create file C:\Fotelix\Fotelix.Exe: ..."), the temporary file is
// removed and an existing file at path stays as it was.
//
// Progress: block i of the copy into memory reports i * 1024; then every
// piece of up to 1024 restored bytes reports compressed length + bytes
// written. Each report moves bar (if given), sets label's caption (if given
// with a bar) to the percentage followed by "% complete", and lets pending
// window messages run.
void WritePayload(TPlatform& os, const TPayload& payload, const std::string& path,
                  IProgressBar* bar, ILabel* label);

void WriteProgramFile(TPlatform& os, const std::string& path, IProgressBar* bar, ILabel* label);
void WriteUninstaller(TPlatform& os, const std::string& path, IProgressBar* bar, ILabel* label);
