#include "widgets/LbColorStyles.h"

std::optional<TLbColorStyleValues> ApplyColorStyle(TLbColorStyle style) {
  switch (style) {
    case lcsCustom: return std::nullopt;
    case lcsGold:
      return TLbColorStyleValues{RGB(192, 192, 0), RGB(255, 255, 0), RGB(128, 128, 0), clNone,
                                 RGB(223, 223, 0), false, bsModern, clBlack};
    case lcsChrome:
      return TLbColorStyleValues{RGB(192, 192, 192), RGB(255, 255, 255), RGB(128, 128, 128),
                                 clNone, clNone, false, bsModern, clBlack};
    case lcsBlue:
      return TLbColorStyleValues{RGB(0, 128, 255), RGB(0, 255, 255), RGB(0, 0, 255), clNone,
                                 clNone, false, bsModern, clBlack};
    case lcsRed:
      return TLbColorStyleValues{RGB(255, 0, 0), RGB(255, 192, 192), RGB(192, 0, 0), clNone,
                                 clNone, false, bsModern, clBlack};
    case lcsUltraFlat1:
      return TLbColorStyleValues{clBtnFace, RGB(132, 146, 181), RGB(132, 146, 181),
                                 RGB(132, 146, 181), RGB(214, 211, 222), true, bsNormal, clBlack};
    case lcsUltraFlat2:
      return TLbColorStyleValues{clBtnFace, RGB(0, 0, 0), RGB(0, 0, 0), RGB(188, 218, 36),
                                 RGB(228, 246, 140), true, bsNormal, clBlack};
    case lcsUltraFlatXP:
      // The shadow is one step redder than the light colour; buttons in the
      // field carry that value, so it stays.
      return TLbColorStyleValues{RGB(219, 216, 209), RGB(132, 146, 181), RGB(133, 146, 181),
                                 RGB(133, 146, 181), RGB(182, 189, 210), true, bsNormal, clBlack};
    case lcsAqua:
      return TLbColorStyleValues{RGB(148, 206, 236), RGB(212, 230, 252), RGB(0, 0, 0), clNone,
                                 clNone, false, bsModern, clBlack};
    case lcsDefault:
      return TLbColorStyleValues{clBtnFace, RGB(255, 255, 255), RGB(128, 128, 128), clNone,
                                 clNone, false, bsNormal, clBlack};
    case lcsQuicken:
      return TLbColorStyleValues{RGB(0, 48, 96), RGB(192, 192, 192), RGB(192, 192, 192),
                                 RGB(41, 101, 173), RGB(156, 174, 206), false, bsQuicken,
                                 clWhite};
  }
  return std::nullopt;
}
