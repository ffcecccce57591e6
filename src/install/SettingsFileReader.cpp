#include "install/SettingsFileReader.h"

#include <cstdio>
#include <optional>

#include "lib/LIB_Data1_ReadWrite.h"
#include "platform/Files.h"
#include "platform/Path.h"

namespace {

class FileParser {
 public:
  explicit FileParser(const std::string& bytes) : in_(bytes) {}

  std::vector<TSettingsItem> Run(TSettingsForm form) {
    const size_t start = in_.Offset();
    const uint8_t format = in_.ReadEscapedByte();
    if (format != 0) throw EDataFormatError(start, "unknown format byte " + std::to_string(format));
    Add(TSettingsItem::Format, start, "", "0");
    Read(TSettingsItem::KeySeed, [&] { return in_.ReadKeySeed(); });
    const int texts = form == TSettingsForm::Install ? 5 : 4;
    for (int i = 0; i < texts; ++i) Read(TSettingsItem::String, [&] { return in_.ReadString(); });
    ExpectTag(43);
    ReadInteger();
    ReadInteger();
    ExpectTag(11);
    ExpectTag(203);
    for (int i = 0; i < 4; ++i) Read(TSettingsItem::Packed, [&] { return in_.ReadPackedString(); });
    for (int i = 0; i < 3; ++i) ReadInteger();
    for (int i = 0; i < 2; ++i)
      Read(TSettingsItem::DateTime, [&] { return FloatText(in_.ReadDateTime()); });
    ReadInteger();
    // Named pairs up to the block's closing tag.
    for (;;) {
      const size_t at = in_.Offset();
      const uint8_t tag = in_.ReadTag();
      if (tag == 0) {
        Add(TSettingsItem::Tag, at, "", "0");
        break;
      }
      if (tag != 203) throw EDataFormatError(at, "expected tag 203 or 0, found " + std::to_string(tag));
      std::string name = in_.ReadString();
      std::string value = in_.ReadString();
      Add(TSettingsItem::Pair, at, std::move(name), std::move(value));
    }
    ExpectTag(0);
    ExpectTag(0);
    if (!in_.AtEnd()) throw EDataFormatError(in_.Offset(), "data after the end of the settings");
    return std::move(items_);
  }

 private:
  template <typename F>
  void Read(TSettingsItem::TKind kind, F read) {
    const size_t at = in_.Offset();
    std::string value = read();
    Add(kind, at, "", std::move(value));
  }
  void ReadInteger() {
    Read(TSettingsItem::Integer, [&] { return std::to_string(in_.ReadInteger()); });
  }
  void ExpectTag(uint8_t expected) {
    const size_t at = in_.Offset();
    const uint8_t tag = in_.ReadTag();
    if (tag != expected)
      throw EDataFormatError(at, "expected tag " + std::to_string(expected) + ", found " +
                                     std::to_string(tag));
    Add(TSettingsItem::Tag, at, "", std::to_string(tag));
  }
  void Add(TSettingsItem::TKind kind, size_t at, std::string name, std::string value) {
    items_.push_back(TSettingsItem{kind, at, std::move(name), std::move(value)});
  }

  TSettingsReader in_;
  std::vector<TSettingsItem> items_;
};

std::string Printable(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

}  // namespace

std::vector<TSettingsItem> ReadSettingsFile(const std::string& bytes, TSettingsForm form) {
  return FileParser(bytes).Run(form);
}

std::string FormatSettingsItem(const TSettingsItem& item) {
  std::string line = std::to_string(item.Offset);
  if (line.size() < 6) line.insert(0, 6 - line.size(), ' ');
  line += "  ";
  switch (item.Kind) {
    case TSettingsItem::Format: return line + "format " + item.Value;
    case TSettingsItem::KeySeed: return line + "key seed, " + std::to_string(item.Value.size()) + " bytes";
    case TSettingsItem::String: return line + "string \"" + Printable(item.Value) + "\"";
    case TSettingsItem::Tag: return line + "tag " + item.Value;
    case TSettingsItem::Integer: return line + "integer " + item.Value;
    case TSettingsItem::DateTime: return line + "date-time " + item.Value;
    case TSettingsItem::Packed: return line + "packed \"" + Printable(item.Value) + "\"";
    case TSettingsItem::Pair: return line + Printable(item.Name) + " = " + Printable(item.Value);
  }
  return line;
}

TProductSettings LoadProductSettings(TPlatform& os, const std::string& programFolder) {
  TProductSettings settings;
  std::vector<std::string> candidates;
  if (const std::optional<std::string> localData = os.GetShellFolder(kCsidlLocalAppData).Known())
    candidates.push_back(JoinPath(*localData, "Fotelix\\Fotelix.Dat"));
  candidates.push_back(programFolder + "FXInst.Dat");
  for (const std::string& path : candidates) {
    settings.Path = path;
    if (os.FileExists(path)) break;
  }
  if (!os.FileExists(settings.Path)) {
    settings.Problem = "No settings file was found: there is no \"" + candidates.front() + "\"";
    if (candidates.size() > 1) settings.Problem += " and no \"" + candidates.back() + "\"";
    settings.Problem += ".";
    return settings;
  }
  try {
    std::vector<std::string> texts;
    for (const TSettingsItem& item : ReadSettingsFile(ReadWholeFile(os, settings.Path), TSettingsForm::Install)) {
      if (item.Kind == TSettingsItem::String) texts.push_back(item.Value);
      if (item.Kind == TSettingsItem::Integer && settings.Performance.empty()) settings.Performance = item.Value;
      if (item.Kind == TSettingsItem::Pair) settings.Named.emplace_back(item.Name, item.Value);
    }
    // The install form's first three texts; the reader has checked that all five are there.
    settings.Edition = texts[0];
    settings.DownloadDir = texts[1];
    settings.CacheDir = texts[2];
  } catch (const EDataFormatError& e) {
    // Translated into the report that the product shows in place of its
    // settings.
    settings.Problem = "The settings file \"" + settings.Path + "\" is damaged at " + e.what() + ".";
  } catch (const std::exception& e) {
    settings.Problem = "The settings file cannot be read. " + std::string(e.what()) + ".";
  }
  return settings;
}
