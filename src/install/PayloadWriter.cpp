#include "install/PayloadWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "install/PayloadData.h"
#include "platform/Files.h"

namespace {

constexpr size_t kWriteChunk = 64 * 1024;

const TPayload kProgram = {kProgramPayload, kProgramBlockCount, kProgramCompressedLength,
                           kProgramExpandedLength};
const TPayload kUninstaller = {kUninstallerPayload, kUninstallerBlockCount,
                               kUninstallerCompressedLength, kUninstallerExpandedLength};

[[noreturn]] void Damaged(const std::string& path, const std::string& why) {
  const std::string reason = "the data stored in the setup program is damaged (" + why + ")";
  throw EPlatformError(13,  // the system's code for invalid data
                       "Cannot restore \"" + path + "\": " + reason, reason);
}

// A zlib inflater that reads from one buffer; released on every path.
class TInflater {
 public:
  TInflater(const unsigned char* input, size_t size, std::string path) : path_(std::move(path)) {
    std::memset(&stream_, 0, sizeof stream_);
    stream_.next_in = const_cast<unsigned char*>(input);
    stream_.avail_in = static_cast<uInt>(size);
    if (inflateInit(&stream_) != Z_OK) Damaged(path_, "the inflater could not start");
  }
  ~TInflater() { inflateEnd(&stream_); }
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;

  // Up to size inflated bytes; fewer only where the stream ends. Inflates
  // ahead in large pieces: a call per 1,024 bytes would keep zlib off its
  // fast path.
  size_t Read(unsigned char* out, size_t size) {
    size_t done = 0;
    while (done < size) {
      if (next_ == filled_) {
        if (!Refill()) break;
      }
      const size_t n = std::min(size - done, filled_ - next_);
      std::memcpy(out + done, ahead_.data() + next_, n);
      next_ += n;
      done += n;
    }
    return done;
  }

  // Once every expected byte is out: the stream must end right there, which
  // also checks the stream's Adler-32 sum.
  void Finish(uint32_t compressedLength) {
    unsigned char extra;
    if (Read(&extra, 1) != 0) Damaged(path_, "it holds more data than recorded");
    if (!ended_) Damaged(path_, "the stream is cut short");
    if (stream_.total_in != compressedLength) Damaged(path_, "its length is not the one recorded");
  }

 private:
  // False when nothing more comes out: the stream ended or its input ran out.
  bool Refill() {
    next_ = filled_ = 0;
    stream_.next_out = ahead_.data();
    stream_.avail_out = static_cast<uInt>(ahead_.size());
    while (stream_.avail_out > 0 && !ended_) {
      const int result = inflate(&stream_, Z_NO_FLUSH);
      if (result == Z_STREAM_END) {
        ended_ = true;
      } else if (result == Z_BUF_ERROR && stream_.avail_in == 0) {
        break;
      } else if (result != Z_OK) {
        Damaged(path_, stream_.msg ? stream_.msg : "inflate error " + std::to_string(result));
      }
    }
    filled_ = ahead_.size() - stream_.avail_out;
    return filled_ > 0;
  }

  z_stream stream_;
  std::string path_;
  bool ended_ = false;
  std::vector<unsigned char> ahead_ = std::vector<unsigned char>(64 * 1024);
  size_t next_ = 0, filled_ = 0;
};

// A file made new beside the one it is to replace, under the first free
// name from base on; closed, and removed unless it has been moved into place.
class TTemporaryFile {
 public:
  TTemporaryFile(TPlatform& os, const std::string& base) : os_(os), file_(CreateNewFile(os, base, path_)) {}
  ~TTemporaryFile() {
    file_.reset();
    if (!path_.empty()) os_.TryRemoveFile(path_);
  }
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;
  TFile& File() { return *file_; }
  const std::string& Path() const { return path_; }
  void Release() { path_.clear(); }

 private:
  TPlatform& os_;
  std::string path_;
  std::unique_ptr<TFile> file_;
};

void Restore(TPlatform& os, const TPayload& payload, const std::string& path, IRunProgress& progress) {
  // The stored blocks lie one after the other in the program's own image,
  // ready to inflate where they are: the first part of the bar stands for
  // taking them in, block by block, and copying them would only cost.
  for (uint32_t i = 1; i <= payload.BlockCount; ++i) progress.Report(static_cast<int32_t>(i * kPayloadBlockSize));
  TInflater inflater(payload.Data, static_cast<size_t>(payload.BlockCount) * kPayloadBlockSize, path);

  // A file in use, such as the running program, cannot be replaced: say so
  // before anything is written.
  if (os.FileExists(path)) os.OpenFile(path, TOpenMode::WriteExisting)->Close();

  TTemporaryFile temporary(os, path + ".new");
  TFile& file = temporary.File();
  // The pieces reach the disk in large writes; progress still moves per piece.
  std::vector<unsigned char> pending;
  pending.reserve(kWriteChunk);
  const auto flush = [&] {
    if (!pending.empty()) file.Write(pending.data(), pending.size());
    pending.clear();
  };
  unsigned char piece[kPayloadBlockSize];
  uint32_t total = 0;
  size_t got = 0;
  do {
    // Never ask for more than the bytes still expected: the padding after
    // the stream is not stream data. A whole number of pieces ends with a
    // request of 0 bytes, which still reports.
    const size_t request = std::min<size_t>(kPayloadBlockSize, payload.ExpandedLength - total);
    got = inflater.Read(piece, request);
    if (got < request) Damaged(path, "the stream is cut short");
    pending.insert(pending.end(), piece, piece + got);
    if (pending.size() >= kWriteChunk) flush();
    total += static_cast<uint32_t>(got);
    progress.Report(static_cast<int32_t>(payload.CompressedLength + total));
  } while (got == kPayloadBlockSize);
  inflater.Finish(payload.CompressedLength);
  flush();
  file.Close();
  os.MoveReplace(temporary.Path(), path);
  temporary.Release();
}

}  // namespace

const TPayload& ProgramPayload() { return kProgram; }
const TPayload& UninstallerPayload() { return kUninstaller; }

void WritePayload(TPlatform& os, const TPayload& payload, const std::string& path, IRunProgress& progress) {
  try {
    Restore(os, payload, path, progress);
  } catch (const EPlatformError& error) {
    // Told by the file the user knows: a failure on the temporary file
    // beside it would otherwise name a file he never asked for.
    throw EPlatformError(error.Code(), "Cannot create file " + path + ": " + error.Reason(),
                         error.Reason());
  }
}

void WriteProgramFile(TPlatform& os, const std::string& path, IRunProgress& progress) {
  WritePayload(os, kProgram, path, progress);
}

void WriteUninstaller(TPlatform& os, const std::string& path, IRunProgress& progress) {
  WritePayload(os, kUninstaller, path, progress);
}
