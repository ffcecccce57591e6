#pragma once

// The one version of the product and of its setup program, and the maker's
// name: the carried product shows the version, the version resources of all
// three programs are made from these lines, and the uninstall entry names
// both. Plain macros, because the resource compiler reads this file too.
#define FX_VERSION_MAJOR 2
#define FX_VERSION_MINOR 12
#define FX_VERSION_TEXT "2.12"
#define FX_PUBLISHER "Morvane Software"
#define FX_COPYRIGHT "Copyright (C) 2026 Morvane Software"

#ifndef RC_INVOKED
inline constexpr char kFotelixVersion[] = FX_VERSION_TEXT;
inline constexpr char kFotelixPublisher[] = FX_PUBLISHER;
#endif
