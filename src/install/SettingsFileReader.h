#pragma once
#include <cstddef>
#include <string>
#include <vector>

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
