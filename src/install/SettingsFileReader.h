#pragma once
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

// Reads a settings file back item by item, in the order in which setup
// writes it. The product needs this, and so do the tests and fxdat.

enum class TSettingsForm { Install, Upgrade };

struct TSettingsItem {
  enum TKind { Format, KeySeed, String, Tag, Integer, DateTime, Packed, Pair };
  TKind Kind;
  size_t Offset;      // of the item's first byte in the file
  std::string Name;   // named pairs only
  std::string Value;  // text, decimal number, tag value, or the key seed's bytes
};

// Every item of a whole file. Raises EDataFormatError (with the byte offset)
// when the file is cut short, damaged, or holds more than one file's items.
std::vector<TSettingsItem> ReadSettingsFile(const std::string& bytes, TSettingsForm form);

// One line of a listing: offset, kind and value; named pairs as name = value.
// Bytes outside printable ASCII are shown as \xNN.
std::string FormatSettingsItem(const TSettingsItem& item);

// What the product shows of its settings file.
struct TProductSettings {
  std::string Path;     // the file read, or the one it tried last
  std::string Problem;  // why nothing could be read; empty when all was
  std::string Edition, DownloadDir, CacheDir, Performance;
  std::vector<std::pair<std::string, std::string>> Named;  // the named defaults, in order
};

// Reads the product's settings file: local application data +
// "\Fotelix\Fotelix.Dat", else "FXInst.Dat" in programFolder (which ends with
// "\"). A file that is missing, unreadable or damaged gives a Problem in
// words, never an exception.
TProductSettings LoadProductSettings(TPlatform& os, const std::string& programFolder);
