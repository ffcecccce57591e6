#pragma once
#include <cstdint>
#include <string>

#include "install/RunProgress.h"
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
// written. The range is the caller's to set.
void WritePayload(TPlatform& os, const TPayload& payload, const std::string& path, IRunProgress& progress);

void WriteProgramFile(TPlatform& os, const std::string& path, IRunProgress& progress);
void WriteUninstaller(TPlatform& os, const std::string& path, IRunProgress& progress);
