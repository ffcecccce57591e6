#pragma once

// The web addresses that the setup program writes into the product's settings
// file and its shortcuts. Every caller takes them from here, so that a change
// of host reaches the dictionary, the defaults and the links alike. The maker
// is fictional: its hosts use names reserved for examples.

inline constexpr char kMakerWebSite[] = "http://www.morvane.example";
inline constexpr char kProductWebSite[] = "http://www.fotelix.example";
inline constexpr char kSearchEngine1[] = "http://www.google.com";
inline constexpr char kSearchEngine2[] = "http://www.bing.com";

// A personal web space at an internet provider, under the user folder "/~morvane/".
inline constexpr char kMirrorHost[] = "http://home.provider.example";
// The maker's own server, hosted by the same provider.
inline constexpr char kProviderServer[] = "http://morvane.provider.example";

// Short enough to show whole on the install-or-upgrade page, whose link
// stops at the edge of the white panel.
inline constexpr char kSupportEmail[] = "help@morvane.example";
