// Programs find the theme module by name: every export binds, switches
// hide the module or single exports, and what is not implemented says so
// without leaving garbage in the caller's buffers.
#include <cstring>

#include "ThemeFixture.h"

namespace {

using namespace themetest;

using Binding = ThemeTest;

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
  Theme button(u"Button");
  ASSERT_NE(button.h, nullptr);
  RECT r{0, 0, 20, 20};
  auto dirty = [](auto& v) { std::memset(static_cast<void*>(&v), 0xAB, sizeof v); };
  auto zero = [](const auto& v) {
    const auto* p = reinterpret_cast<const unsigned char*>(&v);
    return std::all_of(p, p + sizeof v, [](unsigned char c) { return c == 0; });
  };

  RECT rect;
  BOOL b;
  int i;
  INTLIST list;
  MARGINS margins;
  POINT point;
  PROPERTYORIGIN origin;
  LOGFONTW font;
  TEXTMETRICW metrics;
  char16_t text[8];
  dirty(rect), dirty(b), dirty(i), dirty(list), dirty(margins), dirty(point), dirty(origin), dirty(font),
      dirty(metrics);

  EXPECT_EQ(GetThemeBackgroundExtent(button, dc, 1, 1, &r, &rect), E_NOTIMPL);
  EXPECT_TRUE(zero(rect));
  EXPECT_EQ(GetThemeBool(button, 1, 1, 1, &b), E_NOTIMPL);
  EXPECT_TRUE(zero(b));
  for (auto fn : {&GetThemeEnumValue, &GetThemeInt}) {
    dirty(i);
    EXPECT_EQ(fn(button, 1, 1, 1, &i), E_NOTIMPL);
    EXPECT_EQ(i, 0);
  }
  dirty(i);
  EXPECT_EQ(GetThemeMetric(button, dc, 1, 1, 1, &i), E_NOTIMPL);
  EXPECT_EQ(i, 0);
  dirty(i);
  EXPECT_EQ(GetThemeSysInt(button, 1, &i), E_NOTIMPL);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(GetThemeIntList(button, 1, 1, 1, &list), E_NOTIMPL);
  EXPECT_TRUE(zero(list));
  EXPECT_EQ(GetThemeMargins(button, dc, 1, 1, 1, &r, &margins), E_NOTIMPL);
  EXPECT_TRUE(zero(margins));
  EXPECT_EQ(GetThemePosition(button, 1, 1, 1, &point), E_NOTIMPL);
  EXPECT_TRUE(zero(point));
  EXPECT_EQ(GetThemePropertyOrigin(button, 1, 1, 1, &origin), E_NOTIMPL);
  EXPECT_TRUE(zero(origin));
  dirty(rect);
  EXPECT_EQ(GetThemeRect(button, 1, 1, 1, &rect), E_NOTIMPL);
  EXPECT_TRUE(zero(rect));
  EXPECT_EQ(GetThemeFont(button, dc, 1, 1, 1, &font), E_NOTIMPL);
  EXPECT_TRUE(zero(font));
  dirty(font);
  EXPECT_EQ(GetThemeSysFont(button, 1, &font), E_NOTIMPL);
  EXPECT_TRUE(zero(font));
  EXPECT_EQ(GetThemeTextMetrics(button, dc, 1, 1, &metrics), E_NOTIMPL);
  EXPECT_TRUE(zero(metrics));
  dirty(rect);
  EXPECT_EQ(GetThemeTextExtent(button, dc, 1, 1, u"x", 1, 0, &r, &rect), E_NOTIMPL);
  EXPECT_TRUE(zero(rect));
  // Text outputs come back empty.
  auto emptied = [&](auto call) {
    dirty(text);
    EXPECT_EQ(call(), E_NOTIMPL);
    return text[0] == 0;
  };
  EXPECT_TRUE(emptied([&] { return GetThemeString(button, 1, 1, 1, text, 8); }));
  EXPECT_TRUE(emptied([&] { return GetThemeFilename(button, 1, 1, 1, text, 8); }));
  EXPECT_TRUE(emptied([&] { return GetThemeSysString(button, 1, text, 8); }));
  EXPECT_TRUE(emptied([&] { return GetThemeDocumentationProperty(u"x", u"y", text, 8); }));
  // Calls without outputs, and those answering a value rather than a code.
  EXPECT_EQ(DrawThemeIcon(button, dc, 1, 1, &r, nullptr, 0), E_NOTIMPL);
  EXPECT_EQ(EnableThemeDialogTexture(nullptr, 6), E_NOTIMPL);
  EXPECT_EQ(SetWindowTheme(nullptr, u"", u""), E_NOTIMPL);
  EXPECT_EQ(GetThemeAppProperties(), 0u);
  EXPECT_EQ(GetThemeSysBool(button, 1), FALSE);
  EXPECT_EQ(GetThemeSysColor(button, 1), 0u);
  EXPECT_EQ(GetThemeSysColorBrush(button, 1), nullptr);
  EXPECT_EQ(GetThemeSysSize(button, 1), 0);
  EXPECT_EQ(GetWindowTheme(nullptr), nullptr);
  EXPECT_EQ(IsThemePartDefined(button, 1, 1), FALSE);
  EXPECT_EQ(IsThemeDialogTextureEnabled(nullptr), FALSE);
  SetThemeAppProperties(3);
  // Null outputs are survived.
  EXPECT_EQ(GetThemeRect(button, 1, 1, 1, nullptr), E_NOTIMPL);
}

}  // namespace
