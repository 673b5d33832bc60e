// Built from the objects of every library of the project (see
// CMakeLists.txt): that it links at all is the main check.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "app/core/TerrainFiles.h"
#include "platform/forms/Bitmap.h"
#include "platform/forms/Graphic.h"
#include "platform/gdi/PngWriter.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "support/TempDir.h"
#include "support/UnderFileSizeLimit.h"

TEST(AllLibrariesTest, EveryLibraryLinksIntoOneProgram) {
  // The shared date helpers answer the same in every library that uses them.
  EXPECT_EQ(DateOf(TDateTime(39813.75)).Value, 39813.0);
  EXPECT_EQ(TimeOf(TDateTime(39813.75)).Value, 0.75);
  EXPECT_EQ(DateOf(TDateTime(-1.25)).Value + TimeOf(TDateTime(-1.25)).Value, -1.25);
}

// Every kind of save of a whole file, whichever library it is in, run by
// a program under a file-size limit that leaves the limit's signal as the
// system has it: each fails and says "File too large", the program goes
// on, the file keeps the bytes an earlier save gave it and nothing is left
// beside it. (Rich text and filter files are saved as string lists and
// streams are.)
TEST(AllLibrariesTest, EveryKindOfSaveFailsUnderAFileSizeLimitWithoutEndingTheProgram) {
  // Each saves a small thing or one far beyond the limit.
  using Save = std::function<void(const std::string& name, bool big)>;
  const auto text = [](bool big) { return big ? std::string(4000, 'n') : std::string("small"); };
  const std::vector<std::pair<std::string, Save>> saves{
      {"string list",
       [&](const std::string& name, bool big) {
         TStringList list;
         list.Add(text(big));
         list.SaveToFile(name);
       }},
      {"memory stream",
       [&](const std::string& name, bool big) {
         TMemoryStream stream;
         stream.WriteBuffer(text(big).data(), static_cast<Integer>(text(big).size()));
         stream.SaveToFile(name);
       }},
      {"INI file",
       [&](const std::string& name, bool big) {
         TMemIniFile ini(name);
         ini.WriteString("Section", "Key", text(big));
         ini.UpdateFile();
       }},
      {"registry",
       [&](const std::string& name, bool big) {
         orv::registry::ScopedRoot root(name);
         TRegistry registry;
         registry.OpenKey("\\Grid", true);
         registry.WriteString("Value", text(big));
         registry.CloseKey();
       }},
      {"picture",
       [&](const std::string& name, bool big) {
         TOwned<TPicture> picture(New<TPicture>());
         picture->GetBitmap()->SetSize(big ? 64 : 1, 1);
         picture->SaveToFile(name);
       }},
      {"PNG",
       [&](const std::string& name, bool big) {
         const int side = big ? 64 : 1;
         const auto noise = [&](int y, std::uint32_t* row) {
           for (int x = 0; x < side; ++x) row[x] = (static_cast<std::uint32_t>(x * 64 + y) * 2654435761u) >> 8;
         };
         if (!win::SaveRowsPng(side, side, noise, name)) throw std::runtime_error(std::strerror(errno));
       }},
      {"terrain file",
       [&](const std::string& name, bool big) {
         frontend::TUserMessage failure;
         if (!frontend::SaveTerrainFile(name, text(big), failure)) throw std::runtime_error(failure.Text);
       }},
  };
  for (const auto& kindAndSave : saves) {
    SCOPED_TRACE(kindAndSave.first);
    const Save& save = kindAndSave.second;
    TempDir tmp;
    const std::string name = tmp / "saved";
    save(name, false);
    const std::string old = tmp.Read("saved");
    ASSERT_LT(old.size(), 256u);
    const std::string told = UnderFileSizeLimit(256, [&]() -> std::string {
      save(name, true);
      return "saved";
    });
    EXPECT_NE(told.find("File too large"), std::string::npos) << told;
    EXPECT_TRUE(tmp.Read("saved") == old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.Path()), {}), 1);
  }
}
