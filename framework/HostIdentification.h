#pragma once

#include <cstdint>

// Host identity codes, named after the keyword of the product name that
// selects them. The gaps (6, 10, 11, 19) are never produced.
enum EHost : int {
  kHostUninit = -1, // not yet asked
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostProTools = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostCakewalk = 5,
  kHostFruity = 7,
  kHostSamplitude = 8,
  kHostLive = 9,
  kHostMelodyne = 12,
  kHostVstManLib = 13,
  kHostAulab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostSawStudio = 20,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostDigital = 23,
  kHostStandalone = 24,
  kHostAudioMulch = 25,
  kHostPresonus = 26,
  kHostVst3TestHost = 27,
  kHostArdour = 28,
  kHostRenoise = 29,
  kHostOpenMpt = 30,
};

// Host code from a product name: the first keyword of the fixed table found
// anywhere in the ASCII-lower-cased name; kHostUnknown when none is. Only the
// first 255 characters are looked at; null reads as "".
int HostFromProductName(const char* productName);

// A host's decimal vendor version (5020 for 0.50.20, 80100 for 8.1.0) packed
// as 0xVVVVRRMM. Negative numbers pack to 0.
int32_t PackHostVersion(int decimalVersion);
