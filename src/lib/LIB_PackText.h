#pragma once
#include <string>

// Packing of short texts (web addresses, address prefixes, file names) for
// the settings file. Three stages: every "Q" becomes "Q " so that "Q" can
// introduce a code; 62 frequent substrings become "Q" plus a code letter;
// each byte then gets a prefix-free code of six-bit groups (the space and the
// code letters cost 6 bits, rare bytes up to 30).

// A pure function: no key, no random numbers, no state between calls. Empty
// input gives empty output; it never fails.
std::string PackText(const std::string& text);

// The inverse of PackText: a text that PackText turns into exactly these
// bytes. Packing is not one-to-one in a few odd cases ("Qthe " and ".NET//"
// pack alike); there the reading as web address is returned. Raises
// std::invalid_argument, naming the problem, for bytes that PackText cannot
// produce (a cut-off or unknown bit code, stray filling, a "Q" that
// introduces nothing), and also for the packing of some odd texts where
// that reading does not pack back and the other one is not tried
// ("WWWQ- ", " xxx 3 com").
std::string UnpackText(const std::string& packed);
