// Programs find the theme module by name: every export binds, switches
// hide the module or single exports, and what is not implemented says so
// without leaving garbage in the caller's buffers.
#include <cstring>

#include "ThemeFixture.h"

namespace {

using namespace themetest;

using Binding = ThemeTest;

template <class T>
T* As(unsigned char* buffer) {
  return reinterpret_cast<T*>(buffer);
}

TEST_F(Binding, EveryExportBindsByNameInTheProgramsOrder) {
  static const char* const kOrder[] = {
      "CloseThemeData", "DrawThemeBackground", "DrawThemeEdge", "DrawThemeIcon", "DrawThemeParentBackground",
      "DrawThemeText", "EnableThemeDialogTexture", "GetCurrentThemeName", "GetThemeAppProperties",
      "GetThemeBackgroundContentRect", "GetThemeBackgroundRegion", "GetThemeBackgroundExtent", "GetThemeBool",
      "GetThemeColor", "GetThemeDocumentationProperty", "GetThemeEnumValue", "GetThemeFilename", "GetThemeFont",
      "GetThemeInt", "GetThemeIntList", "GetThemeMargins", "GetThemeMetric", "GetThemePartSize", "GetThemePosition",
      "GetThemePropertyOrigin", "GetThemeRect", "GetThemeString", "GetThemeSysBool", "GetThemeSysColor",
      "GetThemeSysColorBrush", "GetThemeSysFont", "GetThemeSysInt", "GetThemeSysSize", "GetThemeSysString",
      "GetThemeTextExtent", "GetThemeTextMetrics", "GetWindowTheme", "HitTestThemeBackground", "IsAppThemed",
      "IsThemeActive", "IsThemePartDefined", "IsThemeBackgroundPartiallyTransparent", "IsThemeDialogTextureEnabled",
      "OpenThemeData", "SetThemeAppProperties", "SetWindowTheme"};
  const auto& names = theme::ExportNames();
  ASSERT_EQ(std::size(kOrder), names.size());
  HMODULE module = LoadLibraryA("UxTheme.dll");
  ASSERT_NE(module, nullptr);
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_STREQ(names[i], kOrder[i]);
    EXPECT_NE(GetProcAddress(module, kOrder[i]), nullptr) << kOrder[i];
  }
  // What binds is the module's own function, whatever the name's case.
  EXPECT_EQ(GetProcAddress(module, "openthemedata"), reinterpret_cast<FARPROC>(&OpenThemeData));
  EXPECT_EQ(GetProcAddress(module, "DrawThemeBackground"), reinterpret_cast<FARPROC>(&DrawThemeBackground));
  // Installing again changes nothing.
  InstallThemeModule();
  EXPECT_EQ(GetProcAddress(module, "IsThemeActive"), reinterpret_cast<FARPROC>(&IsThemeActive));
  FreeLibrary(module);
}

TEST_F(Binding, SwitchesHideTheModuleOrChosenExports) {
  test::SetThemeModuleAbsent(true);
  EXPECT_EQ(LoadLibraryA("UxTheme.dll"), nullptr);
  test::SetThemeModuleAbsent(false);

  HMODULE module = LoadLibraryA("uxtheme");
  ASSERT_NE(module, nullptr);
  test::SetThemeExportMissing("DrawThemeBackground", true);
  test::SetThemeExportMissing("GetThemeColor", true);
  EXPECT_EQ(GetProcAddress(module, "DrawThemeBackground"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "GetThemeColor"), nullptr);
  EXPECT_NE(GetProcAddress(module, "OpenThemeData"), nullptr);
  EXPECT_NE(GetProcAddress(module, "DrawThemeText"), nullptr);

  test::ResetThemeModule();
  EXPECT_NE(GetProcAddress(module, "DrawThemeBackground"), nullptr);
  FreeLibrary(module);
}

TEST_F(Binding, UnimplementedExportsAnswerNotImplementedAndZeroTheirOutputs) {
  Theme b(u"Button");
  ASSERT_NE(b.h, nullptr);
  RECT r{0, 0, 20, 20};
  // Each call writes into a buffer full of garbage; the bytes of its output
  // must come back zero.
  alignas(8) unsigned char out[256];
  auto text = reinterpret_cast<char16_t*>(out);
  struct Case {
    const char* name;
    std::function<HRESULT()> call;
    std::size_t size;
  };
  const Case cases[] = {
      {"Extent", [&] { return GetThemeBackgroundExtent(b, dc, 1, 1, &r, As<RECT>(out)); }, sizeof(RECT)},
      {"Bool", [&] { return GetThemeBool(b, 1, 1, 1, As<BOOL>(out)); }, sizeof(BOOL)},
      {"Enum", [&] { return GetThemeEnumValue(b, 1, 1, 1, As<int>(out)); }, sizeof(int)},
      {"Int", [&] { return GetThemeInt(b, 1, 1, 1, As<int>(out)); }, sizeof(int)},
      {"Metric", [&] { return GetThemeMetric(b, dc, 1, 1, 1, As<int>(out)); }, sizeof(int)},
      {"SysInt", [&] { return GetThemeSysInt(b, 1, As<int>(out)); }, sizeof(int)},
      {"IntList", [&] { return GetThemeIntList(b, 1, 1, 1, As<INTLIST>(out)); }, sizeof(INTLIST)},
      {"Margins", [&] { return GetThemeMargins(b, dc, 1, 1, 1, &r, As<MARGINS>(out)); }, sizeof(MARGINS)},
      {"Position", [&] { return GetThemePosition(b, 1, 1, 1, As<POINT>(out)); }, sizeof(POINT)},
      {"Origin", [&] { return GetThemePropertyOrigin(b, 1, 1, 1, As<PROPERTYORIGIN>(out)); }, sizeof(PROPERTYORIGIN)},
      {"Rect", [&] { return GetThemeRect(b, 1, 1, 1, As<RECT>(out)); }, sizeof(RECT)},
      {"Font", [&] { return GetThemeFont(b, dc, 1, 1, 1, As<LOGFONTW>(out)); }, sizeof(LOGFONTW)},
      {"SysFont", [&] { return GetThemeSysFont(b, 1, As<LOGFONTW>(out)); }, sizeof(LOGFONTW)},
      {"Metrics", [&] { return GetThemeTextMetrics(b, dc, 1, 1, As<TEXTMETRICW>(out)); }, sizeof(TEXTMETRICW)},
      {"TextExtent", [&] { return GetThemeTextExtent(b, dc, 1, 1, u"x", 1, 0, &r, As<RECT>(out)); }, sizeof(RECT)},
      // Text outputs come back empty.
      {"String", [&] { return GetThemeString(b, 1, 1, 1, text, 8); }, 2},
      {"Filename", [&] { return GetThemeFilename(b, 1, 1, 1, text, 8); }, 2},
      {"SysString", [&] { return GetThemeSysString(b, 1, text, 8); }, 2},
      {"Documentation", [&] { return GetThemeDocumentationProperty(u"x", u"y", text, 8); }, 2},
      // Calls without outputs.
      {"Icon", [&] { return DrawThemeIcon(b, dc, 1, 1, &r, nullptr, 0); }, 0},
      {"DialogTexture", [&] { return EnableThemeDialogTexture(nullptr, 6); }, 0},
      {"WindowTheme", [&] { return SetWindowTheme(nullptr, u"", u""); }, 0},
      {"NullOutput", [&] { return GetThemeRect(b, 1, 1, 1, nullptr); }, 0},
  };
  for (const Case& c : cases) {
    std::memset(out, 0xAB, sizeof out);
    EXPECT_EQ(c.call(), E_NOTIMPL) << c.name;
    EXPECT_TRUE(std::all_of(out, out + c.size, [](unsigned char x) { return x == 0; })) << c.name;
  }
  // Those answering a value rather than a code answer nothing.
  EXPECT_EQ(GetThemeAppProperties(), 0u);
  EXPECT_EQ(GetThemeSysBool(b, 1), FALSE);
  EXPECT_EQ(GetThemeSysColor(b, 1), 0u);
  EXPECT_EQ(GetThemeSysColorBrush(b, 1), nullptr);
  EXPECT_EQ(GetThemeSysSize(b, 1), 0);
  EXPECT_EQ(GetWindowTheme(nullptr), nullptr);
  EXPECT_EQ(IsThemePartDefined(b, 1, 1), FALSE);
  EXPECT_EQ(IsThemeDialogTextureEnabled(nullptr), FALSE);
  SetThemeAppProperties(3);
}

}  // namespace
