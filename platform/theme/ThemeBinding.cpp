#include "platform/theme/ThemeBinding.h"

#include "platform/theme/ThemeApi.h"
#include "platform/win/Modules.h"

namespace win::theme {
namespace {

struct Export {
  const char* name;
  FARPROC proc;
};

template <class R, class... A>
Export E(const char* name, R (*proc)(A...)) {
  return {name, reinterpret_cast<FARPROC>(proc)};
}

// One table, in binding order: the names list below is read from it.
const std::array<Export, 46>& Exports() {
  static const std::array<Export, 46> table{
      E("CloseThemeData", &CloseThemeData),
      E("DrawThemeBackground", &DrawThemeBackground),
      E("DrawThemeEdge", &DrawThemeEdge),
      E("DrawThemeIcon", &DrawThemeIcon),
      E("DrawThemeParentBackground", &DrawThemeParentBackground),
      E("DrawThemeText", &DrawThemeText),
      E("EnableThemeDialogTexture", &EnableThemeDialogTexture),
      E("GetCurrentThemeName", &GetCurrentThemeName),
      E("GetThemeAppProperties", &GetThemeAppProperties),
      E("GetThemeBackgroundContentRect", &GetThemeBackgroundContentRect),
      E("GetThemeBackgroundRegion", &GetThemeBackgroundRegion),
      E("GetThemeBackgroundExtent", &GetThemeBackgroundExtent),
      E("GetThemeBool", &GetThemeBool),
      E("GetThemeColor", &GetThemeColor),
      E("GetThemeDocumentationProperty", &GetThemeDocumentationProperty),
      E("GetThemeEnumValue", &GetThemeEnumValue),
      E("GetThemeFilename", &GetThemeFilename),
      E("GetThemeFont", &GetThemeFont),
      E("GetThemeInt", &GetThemeInt),
      E("GetThemeIntList", &GetThemeIntList),
      E("GetThemeMargins", &GetThemeMargins),
      E("GetThemeMetric", &GetThemeMetric),
      E("GetThemePartSize", &GetThemePartSize),
      E("GetThemePosition", &GetThemePosition),
      E("GetThemePropertyOrigin", &GetThemePropertyOrigin),
      E("GetThemeRect", &GetThemeRect),
      E("GetThemeString", &GetThemeString),
      E("GetThemeSysBool", &GetThemeSysBool),
      E("GetThemeSysColor", &GetThemeSysColor),
      E("GetThemeSysColorBrush", &GetThemeSysColorBrush),
      E("GetThemeSysFont", &GetThemeSysFont),
      E("GetThemeSysInt", &GetThemeSysInt),
      E("GetThemeSysSize", &GetThemeSysSize),
      E("GetThemeSysString", &GetThemeSysString),
      E("GetThemeTextExtent", &GetThemeTextExtent),
      E("GetThemeTextMetrics", &GetThemeTextMetrics),
      E("GetWindowTheme", &GetWindowTheme),
      E("HitTestThemeBackground", &HitTestThemeBackground),
      E("IsAppThemed", &IsAppThemed),
      E("IsThemeActive", &IsThemeActive),
      E("IsThemePartDefined", &IsThemePartDefined),
      E("IsThemeBackgroundPartiallyTransparent", &IsThemeBackgroundPartiallyTransparent),
      E("IsThemeDialogTextureEnabled", &IsThemeDialogTextureEnabled),
      E("OpenThemeData", &OpenThemeData),
      E("SetThemeAppProperties", &SetThemeAppProperties),
      E("SetWindowTheme", &SetWindowTheme),
  };
  return table;
}

}  // namespace

const std::array<const char*, 46>& ExportNames() {
  static const std::array<const char*, 46> names = [] {
    std::array<const char*, 46> n{};
    for (std::size_t i = 0; i < n.size(); ++i) n[i] = Exports()[i].name;
    return n;
  }();
  return names;
}

}  // namespace win::theme

namespace win {

void InstallThemeModule() {
  static const bool installed = [] {
    for (const theme::Export& e : theme::Exports()) RegisterModuleExport(theme::kModuleName, e.name, e.proc);
    return true;
  }();
  (void)installed;
}

}  // namespace win
