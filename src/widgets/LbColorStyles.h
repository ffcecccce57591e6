#pragma once
// The colour presets a speed button takes whole: colours, flatness, look and
// caption colour, one set for each preset.

#include <cstdint>
#include <optional>

#include "ui/Graphics.h"
#include "widgets/LbButtonFace.h"

// Colour presets, in declaration order.
enum TLbColorStyle : uint8_t {
  lcsCustom,
  lcsGold,
  lcsChrome,
  lcsBlue,
  lcsRed,
  lcsUltraFlat1,
  lcsUltraFlat2,
  lcsUltraFlatXP,
  lcsAqua,
  lcsDefault,
  lcsQuicken,
};

// The values a colour preset gives a button.
struct TLbColorStyleValues {
  TColor Color;
  TColor LightColor;
  TColor ShadowColor;
  TColor ColorWhenDown;
  TColor HotTrackColor;
  bool Flat;
  TLbSpeedButtonStyle Style;
  TColor FontColor;
};

// Nothing for lcsCustom, which keeps whatever the button has.
std::optional<TLbColorStyleValues> ApplyColorStyle(TLbColorStyle style);
