// The answers one run keeps serve the next run alike, and only while what
// they were drawn from stands as it was.
#include <stdlib.h>

#include <filesystem>

#include "TextFixture.h"
#include "platform/gdi/FontMatchStore.h"
#include "platform/gdi/FontSubstitution.h"
#include "platform/gdi/Fonts.h"
#include "support/TempDir.h"

using namespace win;

namespace {

bool Holds(const std::string& APath) { return gdi::FontMatchStore().Open(APath); }

class FontMatchStoreTest : public TextFixture {
 protected:
  void SetUp() override {
    // The user's own configuration places are in the store's sources:
    // point them at a folder of the test's.
    const char* home = getenv("HOME");
    FHome = home ? home : "";
    setenv("HOME", Home.Path().c_str(), 1);
    TextFixture::SetUp();
  }
  void TearDown() override {
    TextFixture::TearDown();
    gdi::UseFontMatchStore("");
    gdi::FlushFontCache();
    if (FHome.empty()) unsetenv("HOME");
    else setenv("HOME", FHome.c_str(), 1);
  }
  // What a run sees: the store opened as the program opens it, and the
  // faces realised afresh.
  bool StartRun() {
    const bool held = gdi::UseFontMatchStore(Store);
    gdi::FlushFontCache();
    UseFont("Tahoma", -11);
    return held;
  }

  TempDir Home, Cache;
  static constexpr const char* kStore = "orvanta/font-matches";
  std::string Store = Cache / kStore;
  std::string FHome;
};

}  // namespace

TEST_F(FontMatchStoreTest, AnswersKeptByOneRunServeTheNextWhileTheirSourcesStand) {
  // The first run finds nothing kept, asks fontconfig, and keeps its
  // answers in a folder it makes; an unknown family is kept as unknown.
  EXPECT_FALSE(StartRun());
  const int width = TextWidth("Run Current Values");
  UseFont("Tahoma", -11, FW_BOLD);
  const int boldWidth = TextWidth("Run Current Values");
  ASSERT_TRUE(std::filesystem::exists(Store));

  // The next run measures alike from the kept answers, which name the
  // family's regular and bold files.
  EXPECT_TRUE(StartRun());
  EXPECT_EQ(width, TextWidth("Run Current Values"));
  UseFont("Tahoma", -11, FW_BOLD);
  EXPECT_EQ(boldWidth, TextWidth("Run Current Values"));
  bool installed = false;
  gdi::FontMatch regular, bold;
  gdi::FontMatchStore store;
  ASSERT_TRUE(store.Open(Store));
  ASSERT_TRUE(store.Find(gdi::kSansFamily, FW_NORMAL, false, installed, regular));
  EXPECT_TRUE(installed);
  ASSERT_TRUE(store.Find(gdi::kSansFamily, FW_BOLD, false, installed, bold));
  EXPECT_NE(regular.File, bold.File);
  EXPECT_TRUE(std::filesystem::exists(bold.File));
  EXPECT_FALSE(store.Find("Never Asked For", FW_NORMAL, false, installed, regular));

  // The run goes by the kept answers alone: one that named the bold file
  // for the regular weight would be believed.
  const std::string kept = Cache.Read(kStore);
  std::string forged = kept;
  const size_t line = forged.find("M\t" + std::string(gdi::kSansFamily) + "\t400\t0\t");
  ASSERT_NE(std::string::npos, line);
  const size_t file = forged.find(regular.File, line);
  forged.replace(file, regular.File.size(), bold.File);
  Cache.Write(kStore, forged);
  EXPECT_TRUE(StartRun());
  EXPECT_EQ(boldWidth, TextWidth("Run Current Values"));
  Cache.Write(kStore, kept);

  // A font folder the user makes may hold other answers: none hold.
  Home.MakeDir(".fonts");
  EXPECT_FALSE(Holds(Store));
  EXPECT_FALSE(StartRun());
  EXPECT_EQ(width, TextWidth("Run Current Values"));
  EXPECT_TRUE(Holds(Store)) << "rewritten from fresh answers";

  // Nor under another fontconfig environment.
  setenv("FONTCONFIG_SYSROOT", "/elsewhere", 1);
  EXPECT_FALSE(Holds(Store));
  unsetenv("FONTCONFIG_SYSROOT");
  EXPECT_TRUE(Holds(Store));

  // A store cut short, or damaged, holds nothing and breaks nothing.
  const std::string whole = Cache.Read(kStore);
  for (size_t cut : {size_t(0), size_t(10), whole.size() / 2, whole.size() - 3}) {
    Cache.Write(kStore, whole.substr(0, cut));
    EXPECT_FALSE(Holds(Store)) << "cut at " << cut;
  }
  std::string damaged = whole;
  damaged.replace(damaged.find("\nM\t"), 3, "\nM\tx\t");
  Cache.Write(kStore, damaged);
  EXPECT_FALSE(StartRun());
  EXPECT_EQ(width, TextWidth("Run Current Values"));
}
