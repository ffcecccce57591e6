#pragma once

// The version that the carried product shows; the setup program carries
// this build of it.
inline constexpr char kFotelixVersion[] = "2.12";
