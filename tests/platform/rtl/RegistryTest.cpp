#include <stdlib.h>

#include <cstring>

#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "support/TempDir.h"

namespace {

std::vector<AnsiString> Lines(TStrings* list) {
  std::vector<AnsiString> out;
  for (Integer i = 0; i < list->GetCount(); ++i) out.push_back(list->Get(i));
  return out;
}

using V = std::vector<AnsiString>;

// Writes a small tree the way the property storage lays out a grid.
void WriteGrid(TRegistry& reg) {
  ASSERT_TRUE(reg.OpenKey("\\Software\\Orvanta\\Grid", true));
  reg.WriteString("Caption", "\"12\"");
  reg.WriteInteger("Width", -640);
  reg.WriteBool("Visible", true);
  const double ratio = 1.5;
  reg.WriteBinaryData("Ratio", &ratio, sizeof ratio);
  reg.WriteExpandString("Path", "%HOME%/maps");
  ASSERT_TRUE(reg.OpenKey("[ClassName]", true));  // relative to the open key
  reg.WriteString("ClassName", "TcxVerticalGrid");
  ASSERT_TRUE(reg.CreateKey("\\Software\\Orvanta\\Grid\\Rows"));
  ASSERT_TRUE(reg.CreateKey("\\Software\\Orvanta\\Grid\\Bands"));
  reg.CloseKey();
}

void ExpectGrid(TRegistry& reg) {
  TStringList names;
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\software\\ORVANTA\\grid"));
  EXPECT_EQ(reg.GetCurrentPath(), "software\\ORVANTA\\grid");
  EXPECT_EQ(reg.ReadString("caption"), "\"12\"");
  EXPECT_EQ(reg.ReadInteger("Width"), -640);
  EXPECT_TRUE(reg.ReadBool("Visible"));
  double ratio = 0;
  EXPECT_EQ(reg.ReadBinaryData("Ratio", &ratio, sizeof ratio), 8);
  EXPECT_EQ(ratio, 1.5);
  EXPECT_EQ(reg.ReadString("Path"), "%HOME%/maps");
  EXPECT_EQ(reg.GetDataType("Caption"), rdString);
  EXPECT_EQ(reg.GetDataType("Path"), rdExpandString);
  EXPECT_EQ(reg.GetDataType("Width"), rdInteger);
  EXPECT_EQ(reg.GetDataType("Ratio"), rdBinary);
  EXPECT_EQ(reg.GetDataType("Nothing"), rdUnknown);
  EXPECT_EQ(reg.GetDataSize("Caption"), 5);
  EXPECT_EQ(reg.GetDataSize("Nothing"), -1);
  reg.GetValueNames(&names);
  EXPECT_EQ(Lines(&names), (V{"Caption", "Width", "Visible", "Ratio", "Path"}));
  reg.GetKeyNames(&names);
  EXPECT_EQ(Lines(&names), (V{"[ClassName]", "Bands", "Rows"}));
  ASSERT_TRUE(reg.OpenKeyReadOnly("[ClassName]"));
  EXPECT_EQ(reg.ReadString("ClassName"), "TcxVerticalGrid");
  reg.CloseKey();
}

}  // namespace

TEST(Registry, ValuesRoundTripThroughTheInMemoryRoot) {
  orv::registry::ScopedRoot memory;
  EXPECT_EQ(orv::registry::StoreFileName(), "");
  TRegistry writer;
  WriteGrid(writer);
  TRegistry reader;  // another instance sees the same tree
  ExpectGrid(reader);
  EXPECT_TRUE(reader.KeyExists("\\Software\\Orvanta\\Grid\\Rows"));
  EXPECT_FALSE(reader.KeyExists("\\Software\\Orvanta\\Grid\\Columns"));
}

TEST(Registry, FailuresRaiseOrAnswerFalse) {
  orv::registry::ScopedRoot memory;
  TRegistry reg;
  EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);  // no key open
  WriteGrid(reg);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Orvanta\\Grid", false));
  EXPECT_FALSE(reg.OpenKey("Missing", false));
  EXPECT_EQ(reg.GetCurrentPath(), "Software\\Orvanta\\Grid");  // unchanged
  EXPECT_THROW(reg.ReadInteger("Caption"), ERegistryException);
  EXPECT_THROW(reg.ReadString("Width"), ERegistryException);
  EXPECT_THROW(reg.ReadInteger("Nothing"), ERegistryException);
  EXPECT_EQ(reg.ReadString("Nothing"), "");
  char small[4];
  EXPECT_THROW(reg.ReadBinaryData("Ratio", small, sizeof small), ERegistryException);
  EXPECT_THROW(reg.ReadBinaryData("Caption", small, sizeof small), ERegistryException);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software"));
  EXPECT_THROW(reg.WriteInteger("n", 1), ERegistryException);

  reg.SetRootKey(win::HKEY_LOCAL_MACHINE);
  EXPECT_EQ(reg.GetCurrentKey(), nullptr);
  EXPECT_FALSE(reg.OpenKey("\\Software", true));
  EXPECT_THROW(reg.CreateKey("\\Software"), ERegistryException);
}

TEST(Registry, DeleteKeyRemovesTheWholeSubtree) {
  orv::registry::ScopedRoot memory;
  TRegistry reg;
  WriteGrid(reg);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Orvanta\\Grid\\Rows", false));
  EXPECT_TRUE(reg.DeleteKey("\\Software\\Orvanta\\Grid"));
  EXPECT_FALSE(reg.DeleteKey("\\Software\\Orvanta\\Grid"));
  EXPECT_FALSE(reg.KeyExists("\\Software\\Orvanta\\Grid\\Rows"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\Orvanta"));
  EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);  // its key is gone
  EXPECT_FALSE(reg.DeleteKey("\\"));                            // the root stays
}

TEST(Registry, TheStoreFileLivesInTheConfigurationDirectory) {
  TempDir tmp;
  const char* old = getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_CONFIG_HOME", tmp.Path().c_str(), 1);
  {
    orv::registry::ScopedRoot fileRoot{AnsiString()};
    EXPECT_EQ(orv::registry::StoreFileName(), tmp / "orvanta/registry");
    TRegistry reg;
    WriteGrid(reg);  // CloseKey writes the file
  }
  const std::string bytes = tmp.Read("orvanta/registry");
  EXPECT_EQ(bytes.substr(0, 8), "ORVREG1\n");
  {
    orv::registry::ScopedRoot fileRoot{AnsiString()};
    TRegistry reg;
    ExpectGrid(reg);
  }
  if (old)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

TEST(Registry, ACorruptStoreIsSetAsideAndNeverCrashes) {
  TempDir tmp;
  const std::string file = tmp / "registry";
  {
    orv::registry::ScopedRoot fileRoot(file);
    TRegistry reg;
    WriteGrid(reg);
  }
  const std::string good = tmp.Read("registry");

  // Every cut of a good file, and every byte flipped, either reads as a
  // whole or not at all.
  orv::registry::Key root;
  ASSERT_TRUE(orv::registry::Decode(good, root));
  EXPECT_EQ(orv::registry::Encode(root), good);
  for (std::size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(orv::registry::Decode(good.substr(0, n), root)) << n;
  for (std::size_t i = 8; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ 0xFF);
    if (orv::registry::Decode(bad, root)) {
      EXPECT_EQ(orv::registry::Encode(root), bad);
    }
  }

  std::string huge = good.substr(0, 12);  // a root key claiming four billion values
  huge.replace(12, 4, "\xFF\xFF\xFF\xFF");
  EXPECT_FALSE(orv::registry::Decode(huge + std::string(32, '\0'), root));

  tmp.Write("registry", good.substr(0, good.size() / 2));
  {
    orv::registry::ScopedRoot fileRoot(file);
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists("\\Software"));
    ASSERT_TRUE(reg.OpenKey("\\Fresh", true));
    reg.WriteInteger("n", 1);
    reg.CloseKey();
  }
  EXPECT_EQ(tmp.Read("registry.corrupt"), good.substr(0, good.size() / 2));  // kept for inspection
  {
    orv::registry::ScopedRoot fileRoot(file);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Fresh", false));
    EXPECT_EQ(reg.ReadInteger("n"), 1);
  }

  // Later damaged stores are kept beside the first, each under its number.
  for (const char* damage : {"second", "third"}) {
    tmp.Write("registry", damage);
    orv::registry::ScopedRoot fileRoot(file);
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists("\\Fresh"));
  }
  EXPECT_EQ(tmp.Read("registry.corrupt"), good.substr(0, good.size() / 2));
  EXPECT_EQ(tmp.Read("registry.corrupt.2"), "second");
  EXPECT_EQ(tmp.Read("registry.corrupt.3"), "third");
}
