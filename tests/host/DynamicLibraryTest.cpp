// Opening a module's shared library as the hosting code does: the built VST2
// module stands in for any library, a missing file and a text file for the
// ones that cannot be opened.
#include "DynamicLibrary.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#ifndef TOLVEN_VST2_MODULE
#error "TOLVEN_VST2_MODULE must name the module under test"
#endif

namespace {

namespace fs = std::filesystem;

TEST(DynamicLibrary, OpensFindsExportedSymbolsAndCloses) {
  DynamicLibrary library;
  EXPECT_FALSE(library.IsOpen());
  EXPECT_EQ(library.FindSymbol("VSTPluginMain"), nullptr);

  ASSERT_TRUE(library.Open(TOLVEN_VST2_MODULE)) << library.Error();
  EXPECT_TRUE(library.IsOpen());
  EXPECT_NE(library.Handle(), nullptr);
  EXPECT_TRUE(library.Error().empty());
  EXPECT_NE(library.FindSymbol("VSTPluginMain"), nullptr);
  EXPECT_NE(library.FindSymbol("main"), nullptr);
  EXPECT_EQ(library.FindSymbol("NoSuchEntryPoint"), nullptr);
  EXPECT_EQ(library.FindSymbol(nullptr), nullptr);

  library.Close();
  EXPECT_FALSE(library.IsOpen());
  EXPECT_EQ(library.Handle(), nullptr);
  EXPECT_EQ(library.FindSymbol("VSTPluginMain"), nullptr);
  library.Close(); // a second close is harmless
  EXPECT_FALSE(library.IsOpen());
}

TEST(DynamicLibrary, AFailedOpenSaysWhichFileAndLeavesNothingOpen) {
  const ScratchFolder scratch("tolven-dynamic-library");
  const fs::path dir = scratch.Path();
  const fs::path text = dir / "not-a-library.module";
  std::ofstream(text) << "not a shared library";
  const fs::path missing = dir / "missing.module";

  DynamicLibrary library;
  ASSERT_TRUE(library.Open(TOLVEN_VST2_MODULE)) << library.Error();
  for (const fs::path& path : {missing, text}) {
    SCOPED_TRACE(path.string());
    // The library opened before is closed even though the new one fails.
    EXPECT_FALSE(library.Open(path.string()));
    EXPECT_FALSE(library.IsOpen());
    EXPECT_EQ(library.FindSymbol("VSTPluginMain"), nullptr);
    EXPECT_NE(library.Error().find(path.filename().string()), std::string::npos) << library.Error();
  }
  // A successful open forgets the last failure.
  ASSERT_TRUE(library.Open(TOLVEN_VST2_MODULE)) << library.Error();
  EXPECT_TRUE(library.Error().empty());
}

} // namespace
