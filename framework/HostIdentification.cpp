#include "HostIdentification.h"

#include <cstring>

namespace {

struct HostKeyword {
  const char* keyword;
  int code;
};

// Searched in this order: an earlier keyword wins over a later one.
constexpr HostKeyword kHostKeywords[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostCakewalk},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFruity},
    {"live", kHostLive},
    {"melodyne", kHostMelodyne},
    {"vstmanlib", kHostVstManLib},
    {"aulab", kHostAulab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSawStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigital},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostPresonus},
    {"vst3plugintesthost", kHostVst3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"openmpt", kHostOpenMpt},
    {"renoise", kHostRenoise},
    {"standalone", kHostStandalone},
};

} // namespace

int HostFromProductName(const char* productName) {
  char name[256];
  int n = 0;
  if (productName) {
    for (; n < 255 && productName[n] != '\0'; ++n) {
      const char c = productName[n];
      name[n] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
  }
  name[n] = '\0';
  for (const HostKeyword& entry : kHostKeywords) {
    if (std::strstr(name, entry.keyword)) return entry.code;
  }
  return kHostUnknown;
}

int32_t PackHostVersion(int decimalVersion) {
  if (decimalVersion < 0) return 0;
  // Unsigned arithmetic: a major version above 32767 wraps instead of
  // overflowing.
  const uint32_t d = static_cast<uint32_t>(decimalVersion);
  const uint32_t packed = (d / 10000u) * 65536u + ((d % 10000u) / 100u) * 256u + d % 100u;
  return static_cast<int32_t>(packed);
}
