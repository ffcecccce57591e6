#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform.h"

// The product's settings file: a flat stream of escaped bytes. Strings are
// scrambled with a 256-byte key mixed from random bytes that the file itself
// carries near its start, so a reader needs nothing but the file.

// Where the written bytes go. Implementations raise the platform's
// EPlatformError on any failure; Close must report a failed final flush, so
// that a file whose end never reached the disk is never taken for complete.
class TDataSink {
 public:
  virtual ~TDataSink() = default;
  virtual void Write(const char* data, size_t size) = 0;
  virtual void Close() = 0;
};

// Where the read bytes come from. Read returns 0 only at the end of the data.
class TDataSource {
 public:
  virtual ~TDataSource() = default;
  virtual size_t Read(char* data, size_t size) = 0;
};

// A file of the platform layer, as the install and upgrade runs open it; its
// failures arrive as EPlatformError with the system's code.
class TFileSink : public TDataSink {
 public:
  explicit TFileSink(std::unique_ptr<TFile> file) : file_(std::move(file)) {}
  void Write(const char* data, size_t size) override { file_->Write(data, size); }
  void Close() override { file_->Close(); }

 private:
  std::unique_ptr<TFile> file_;
};

class TFileSource : public TDataSource {
 public:
  explicit TFileSource(std::unique_ptr<TFile> file) : file_(std::move(file)) {}
  size_t Read(char* data, size_t size) override { return file_->Read(data, size); }

 private:
  std::unique_ptr<TFile> file_;
};

// The open output file of the writer's operations: collects bytes and hands
// them to the sink in blocks. Close flushes and closes the sink; an output
// destroyed without Close (an error is on its way) drops what it still holds.
class TDataOutput {
 public:
  explicit TDataOutput(TDataSink& sink) : sink_(sink) {}
  TDataOutput(const TDataOutput&) = delete;
  TDataOutput& operator=(const TDataOutput&) = delete;

  void Put(uint8_t byte);
  void Flush();
  void Close();

 private:
  static constexpr size_t kBlock = 4096;
  TDataSink& sink_;
  std::vector<char> buffer_;
  bool closed_ = false;
};

// The open input file of ReadByte.
class TDataInput {
 public:
  explicit TDataInput(TDataSource& source) : source_(source) {}
  TDataInput(const TDataInput&) = delete;
  TDataInput& operator=(const TDataInput&) = delete;

  // False at the end of the data.
  bool Get(uint8_t& byte);

 private:
  static constexpr size_t kBlock = 4096;
  TDataSource& source_;
  std::vector<char> buffer_ = std::vector<char>(kBlock);
  size_t pos_ = 0;
  size_t end_ = 0;
};

// The key of the file being written: 256 bytes, empty until the first file.
// MakeSettingsKey renews it for every file; every scrambled string swaps two
// of its bytes, so files must be written one at a time, start to end.
extern std::string SettingsKey;

// Draws a key seed of 879 to 977 bytes, each 14 to 253, from the process-wide
// Random, sets SettingsKey from it and returns it for the caller to store.
std::string MakeSettingsKey();

// The 256-byte key that a key seed stands for.
std::string MixKeySeed(const std::string& seed);

// The longest string a length field can describe.
constexpr size_t kMaxSettingsString = 65535;

// The writer's operations. It holds no state of its own (the key is
// SettingsKey); an instance only groups them.
class TLibData1_ReadWrite {
 public:
  void WriteByte(TDataOutput& f, uint8_t b);
  // Reads one escaped byte; at the end of the data yields 26, the end-of-file
  // mark, instead of failing.
  void ReadByte(TDataInput& f, uint8_t& b);
  void WriteTag(TDataOutput& f, uint8_t tag);
  // Scrambled with SettingsKey under a random salt; swaps two key bytes after.
  void WriteString(TDataOutput& f, const std::string& s);
  void WriteRawString(TDataOutput& f, const std::string& s);
  // For the output of PackText; stored like a raw string.
  void WritePackedString(TDataOutput& f, const std::string& packed);
  void WriteInteger(TDataOutput& f, int32_t value);
  void WriteFloat(TDataOutput& f, double value);
  void WriteDateTime(TDataOutput& f, double value);
  // 1-based positions; 0 means none, and then nothing changes.
  void SwapKeyBytes(int a, int b);
};

// The general text form of a number, "." as decimal separator whatever the
// locale: up to 15 significant digits, fixed unless the value needs more than
// 15 digits before the point or is below 0.00001, then "1.5E-7" style.
std::string FloatText(double value);

// A malformed settings file: names the byte offset where reading failed.
class EDataFormatError : public std::runtime_error {
 public:
  EDataFormatError(size_t offset, const std::string& what);
  size_t Offset() const { return offset_; }

 private:
  size_t offset_;
};

// Reads the items of a settings file held in memory, with a key of its own
// that evolves exactly as the writer's did. Every read checks its bounds and
// raises EDataFormatError at the first byte that cannot be what was written.
class TSettingsReader {
 public:
  explicit TSettingsReader(std::string data) : data_(std::move(data)) {}

  size_t Offset() const { return pos_; }
  bool AtEnd() const { return pos_ >= data_.size(); }

  uint8_t ReadEscapedByte();
  std::string ReadRawString();
  // Reads the key seed as a raw string and mixes the key from it.
  std::string ReadKeySeed();
  uint8_t ReadTag();
  std::string ReadString();
  int32_t ReadInteger();
  double ReadFloat();
  double ReadDateTime() { return ReadFloat(); }
  std::string ReadPackedString();

 private:
  uint8_t Next(size_t item_start);
  const std::string& Key(size_t item_start) const;

  std::string data_;
  size_t pos_ = 0;
  std::string key_;
};
