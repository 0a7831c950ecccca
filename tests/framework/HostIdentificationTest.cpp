#include "HostIdentification.h"

#include <gtest/gtest.h>

#include <string>

TEST(HostIdentification, KeywordTableInOrder) {
  const char* keywords[] = {"cubase",     "reaper",     "nuendo",
                            "cakewalk",   "samplitude", "fruity",
                            "live",       "melodyne",   "vstmanlib",
                            "aulab",      "garageband", "forte",
                            "chainer",    "audition",   "orion",
                            "sawstudio",  "logic",      "digital",
                            "audiomulch", "presonus",   "vst3plugintesthost",
                            "protools",   "ardour",     "openmpt",
                            "renoise",    "standalone"};
  const int codes[] = {3,  1,  4,  5,  8,  7,  9,  12, 13, 14, 22, 15, 16,
                       17, 18, 20, 21, 23, 25, 26, 27, 2,  28, 30, 29, 24};
  for (int i = 0; i < 26; ++i) {
    const std::string framed = std::string("The ") + keywords[i] + " 2";
    EXPECT_EQ(HostFromProductName(framed.c_str()), codes[i]) << framed;
  }
  EXPECT_EQ(HostFromProductName("REAPER"), kHostReaper);
  EXPECT_EQ(HostFromProductName("Cubase Pro"), kHostCubase);
  EXPECT_EQ(HostFromProductName("Nuendo and Cubase"), kHostCubase); // searched first
  EXPECT_EQ(HostFromProductName("Digital Performer"), kHostDigital);
  EXPECT_EQ(HostFromProductName("PreSonus Studio One"), kHostPresonus);
  EXPECT_EQ(HostFromProductName("Olive Tree"), kHostLive); // inside another word
  EXPECT_EQ(HostFromProductName("Logic Live"), kHostLive); // table order, not text order
  EXPECT_EQ(HostFromProductName(""), kHostUnknown);
  EXPECT_EQ(HostFromProductName(nullptr), kHostUnknown);
  EXPECT_EQ(HostFromProductName("Pro Tools"), kHostUnknown);
}

TEST(HostIdentification, LongNamesAreCutAt255Characters) {
  EXPECT_EQ(HostFromProductName((std::string(249, 'x') + "reaper" + std::string(99, 'y')).c_str()),
            kHostReaper);
  EXPECT_EQ(HostFromProductName((std::string(250, 'x') + "reaper").c_str()), kHostUnknown);
  EXPECT_EQ(HostFromProductName(std::string(100000, 'z').c_str()), kHostUnknown);
}

TEST(HostIdentification, VersionPacking) {
  EXPECT_EQ(PackHostVersion(10203), 0x00010203);
  EXPECT_EQ(PackHostVersion(0), 0);
  EXPECT_EQ(PackHostVersion(5020), 0x00003214);  // 0.50.20
  EXPECT_EQ(PackHostVersion(80100), 0x00080100); // 8.1.0
  EXPECT_EQ(PackHostVersion(1000000), 0x00640000);
  EXPECT_EQ(PackHostVersion(-5), 0);
}
