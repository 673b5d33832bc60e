// Style sheets in an INI file: one section per sheet, named by its caption;
// one key per style property, "colour,text colour[,face,points,[BIUS]]";
// a bitmap as upper-case hexadecimal BMP bytes cut into numbered pieces
// under "<Property>Bitmap<n>" keys right after the property's own key.
// Section names compare without regard to case, so a sheet whose caption
// names a section already written goes under "<caption> (<n>)" and keeps its
// caption in a "@Caption" key, which no property can be called.
#include <memory>
#include <set>

#include "library/foundation/cxStyles.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"

namespace {

constexpr std::size_t BitmapPieceLength = 2047;
constexpr std::string_view BitmapKeyPart = "Bitmap";
constexpr std::string_view CaptionKey = "@Caption";

AnsiString ColorPart(TcxStyle* AStyle, TcxStyleValue AValue, TColor AColor) {
  return AStyle->GetAssignedValues().Contains(AValue) ? IntToStr(AColor) : AnsiString("default");
}

AnsiString StyleValueText(TcxStyle* AStyle) {
  AnsiString text = ColorPart(AStyle, svColor, AStyle->GetColor()) + "," +
                    ColorPart(AStyle, svTextColor, AStyle->GetTextColor());
  if (AStyle->GetAssignedValues().Contains(svFont)) {
    TFont* font = AStyle->GetFont();
    const TFontStyles styles = font->GetStyle();
    text += "," + font->GetName() + "," + IntToStr(font->GetSize()) + ",[";
    if (styles.Contains(fsBold)) text += "B";
    if (styles.Contains(fsItalic)) text += "I";
    if (styles.Contains(fsUnderline)) text += "U";
    if (styles.Contains(fsStrikeOut)) text += "S";
    text += "]";
  }
  return text;
}

AnsiString BitmapHex(TBitmap* ABitmap) {
  TStringStream stream;
  ABitmap->SaveToStream(&stream);
  static const char digits[] = "0123456789ABCDEF";
  AnsiString hex;
  hex.reserve(stream.GetDataString().size() * 2);
  for (unsigned char c : stream.GetDataString()) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

// ---------------------------------------------------------------------------
// Reading: each sheet is turned into a plan first, so that a damaged value
// refuses its sheet before any of it exists.

struct TStylePlan {
  const TPropInfo* Prop = nullptr;
  TColor Color = clDefault;
  TColor TextColor = clDefault;
  bool HasFont = false;
  AnsiString FaceName;
  bool HasSize = false;
  Integer Size = 0;
  TFontStyles FontStyle;
  std::unique_ptr<TBitmap, void (*)(TObject*)> Bitmap{nullptr, &Free};
};

struct TSheetPlan {
  AnsiString Caption;
  std::vector<TStylePlan> Styles;
};

class TStyleSheetFileReader {
 public:
  TStyleSheetFileReader(TMemIniFile* AIniFile, TClass AStylesClass)
      : FIniFile(AIniFile), FProps(GetStyleProperties(AStylesClass)) {}

  TSheetPlan ReadSection(const AnsiString& ASection) {
    TSheetPlan plan;
    plan.Caption = ASection;
    FSection = ASection;
    TStringList keys;
    FIniFile->ReadSection(ASection, &keys);
    for (Integer i = 0; i < keys.GetCount(); ++i) {
      FKey = keys[i];
      if (SameText(FKey, CaptionKey)) {
        plan.Caption = FIniFile->ReadString(ASection, FKey, "");
        continue;
      }
      if (const TPropInfo* prop = FindProp(FKey)) {
        // A key written twice makes one style, of the value the INI file
        // answers for it: a second style for the property would be left in
        // the repository with no sheet to hold it.
        if (!PlanOf(plan, prop)) plan.Styles.push_back(ReadStyle(prop, FIniFile->ReadString(ASection, FKey, "")));
        continue;
      }
      // Only the first piece starts a bitmap; the others are read with it.
      Integer piece = -1;
      const TPropInfo* prop = BitmapProp(FKey, piece);
      if (!prop || piece != 0) continue;
      // The style's own key comes first; a bitmap without its style has
      // nothing to go into.
      TStylePlan* style = PlanOf(plan, prop);
      if (style && !style->Bitmap) style->Bitmap.reset(ReadBitmap(prop));
    }
    return plan;
  }

 private:
  static TStylePlan* PlanOf(TSheetPlan& APlan, const TPropInfo* AProp) {
    for (TStylePlan& s : APlan.Styles)
      if (s.Prop == AProp) return &s;
    return nullptr;
  }

  const TPropInfo* FindProp(const AnsiString& AName) const {
    for (const TPropInfo* prop : FProps)
      if (SameText(prop->Name, AName)) return prop;
    return nullptr;
  }

  // "<Property>Bitmap<n>": the property, with n in APiece.
  const TPropInfo* BitmapProp(const AnsiString& AKey, Integer& APiece) const {
    std::size_t digits = AKey.size();
    while (digits > 0 && AKey[digits - 1] >= '0' && AKey[digits - 1] <= '9') --digits;
    if (digits == AKey.size() || AKey.size() - digits > 9 || digits < BitmapKeyPart.size()) return nullptr;
    const std::size_t name = digits - BitmapKeyPart.size();
    if (!SameText(std::string_view(AKey).substr(name, BitmapKeyPart.size()), BitmapKeyPart)) return nullptr;
    APiece = StrToInt(AKey.substr(digits));
    return FindProp(AKey.substr(0, name));
  }

  [[noreturn]] void Damaged(const AnsiString& AValue) const {
    const AnsiString shown = AValue.size() > 40 ? AValue.substr(0, 40) + "..." : AValue;
    throw EConvertError("Invalid style sheet value \"%s\" in section [%s], key %s", {shown, FSection, FKey});
  }

  Integer ReadNumber(const AnsiString& AText) const {
    Integer value;
    if (!TryStrToInt(Trim(AText), value)) Damaged(AText);
    return value;
  }

  TColor ReadColor(const AnsiString& AText) const {
    return SameText(Trim(AText), "default") ? clDefault : ReadNumber(AText);
  }

  void ReadFont(TStylePlan& APlan, const AnsiString& AText) const {
    AnsiString face = AText, size, flags;
    bool hasSize = false;
    // The writer always closes with ",[flags]", so the size is the piece
    // before that and the face may itself hold commas.
    const std::size_t bracket = AText.rfind(",[");
    if (!AText.empty() && AText.back() == ']' && bracket != AnsiString::npos) {
      flags = AText.substr(bracket + 2);
      face = AText.substr(0, bracket);
      const std::size_t comma = face.rfind(',');
      if (comma != AnsiString::npos) {
        size = face.substr(comma + 1);
        face.resize(comma);
        hasSize = true;
      }
    } else if (const std::size_t comma = AText.find(','); comma != AnsiString::npos) {
      face = AText.substr(0, comma);
      size = AText.substr(comma + 1);
      hasSize = true;
      if (const std::size_t next = size.find(','); next != AnsiString::npos) {
        flags = size.substr(next + 1);
        size.resize(next);
      }
    }
    APlan.HasFont = true;
    APlan.FaceName = face;
    if (hasSize) {
      APlan.HasSize = true;
      APlan.Size = ReadNumber(size);
      if (APlan.Size < -32768 || APlan.Size > 32767) Damaged(size);
    }
    if (flags.find('B') != AnsiString::npos) APlan.FontStyle.Include(fsBold);
    if (flags.find('I') != AnsiString::npos) APlan.FontStyle.Include(fsItalic);
    if (flags.find('U') != AnsiString::npos) APlan.FontStyle.Include(fsUnderline);
    if (flags.find('S') != AnsiString::npos) APlan.FontStyle.Include(fsStrikeOut);
  }

  TStylePlan ReadStyle(const TPropInfo* AProp, const AnsiString& AValue) const {
    TStylePlan plan;
    plan.Prop = AProp;
    const std::size_t first = AValue.find(',');
    plan.Color = ReadColor(AValue.substr(0, first));
    if (first == AnsiString::npos) return plan;
    const std::size_t second = AValue.find(',', first + 1);
    const std::size_t length = second == AnsiString::npos ? AnsiString::npos : second - first - 1;
    plan.TextColor = ReadColor(AValue.substr(first + 1, length));
    if (second != AnsiString::npos && second + 1 < AValue.size()) ReadFont(plan, AValue.substr(second + 1));
    return plan;
  }

  TBitmap* ReadBitmap(const TPropInfo* AProp) {
    // Pieces are cut at any length, so a byte may span two of them.
    AnsiString hex;
    for (Integer n = 0;; ++n) {
      const AnsiString key = AProp->Name + AnsiString(BitmapKeyPart) + IntToStr(n);
      if (!FIniFile->ValueExists(FSection, key)) break;
      if (n == 0) FKey = key;
      hex += FIniFile->ReadString(FSection, key, "");
    }
    if (hex.size() % 2 != 0) Damaged(hex);
    AnsiString bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
      try {
        bytes += static_cast<char>(HexToByte(std::string_view(hex).substr(i, 2)));
      } catch (const EConvertError&) {
        Damaged(hex.substr(i, 2));
      }
    }
    TBitmap* bitmap = New<TBitmap>();
    TStringStream stream(bytes);
    try {
      bitmap->LoadFromStream(&stream);
    } catch (const Exception& e) {
      bitmap->Free();
      throw EConvertError("Invalid style sheet bitmap in section [%s], key %s: %s", {FSection, FKey, e.GetMessage()});
    }
    return bitmap;
  }

  TMemIniFile* FIniFile;
  TPropList FProps;
  AnsiString FSection;
  AnsiString FKey;
};

void ApplyStyle(TcxStyle* AStyle, const TStylePlan& APlan) {
  AStyle->SetColor(APlan.Color);
  AStyle->SetTextColor(APlan.TextColor);
  if (APlan.HasFont) {
    TFont* font = AStyle->GetFont();
    font->SetName(APlan.FaceName);
    if (APlan.HasSize) font->SetSize(APlan.Size);
    font->SetStyle(APlan.FontStyle);
    // A font part makes the font count even when it names the font there was.
    AStyle->SetAssignedValues(AStyle->GetAssignedValues() + TcxStyleValues{svFont});
  }
  if (APlan.Bitmap) AStyle->SetBitmap(APlan.Bitmap.get());
}

// The styles class a sheet class makes, asked of a sheet that belongs to
// nothing: a sheet class need not offer class methods.
TClass StylesClassOf(TcxCustomStyleSheetClass AStyleSheetClass) {
  TcxCustomStyleSheet* sheet = AStyleSheetClass.Create(nullptr);
  const TClass result = sheet->GetStylesClass().Get();
  sheet->Free();
  return result;
}

// Makes one sheet with its styles from its plan. A failure on the way (a
// name the platform refuses) takes back what was made of this sheet.
void MakeStyleSheet(const TSheetPlan& APlan, TcxStyleRepository* ARepository, TcxCustomStyleSheetClass ASheetClass,
                    TComponent* AOwner, TList* AStyleSheets, TcxStyleGetName AGetStyleName) {
  std::vector<TComponent*> made;
  const Integer listed = AStyleSheets ? AStyleSheets->GetCount() : 0;
  try {
    TcxCustomStyleSheet* sheet =
        AOwner ? ARepository->CreateStyleSheetEx(ASheetClass, AOwner) : ARepository->CreateStyleSheet(ASheetClass);
    made.push_back(sheet);
    if (AStyleSheets) AStyleSheets->Add(sheet);
    sheet->SetCaption(APlan.Caption);
    for (const TStylePlan& stylePlan : APlan.Styles) {
      TcxCustomStyle* created = AOwner ? ARepository->CreateItemEx(TcxStyle::StaticClass(), AOwner)
                                       : ARepository->CreateItem(TcxStyle::StaticClass());
      made.push_back(created);
      auto* style = static_cast<TcxStyle*>(created);
      if (AGetStyleName.Assigned()) {
        AnsiString name = style->GetName();
        AGetStyleName(style, name);
        style->SetName(name);
      }
      ApplyStyle(style, stylePlan);
      SetObjectProp(sheet->GetStyles(), stylePlan.Prop, style);
    }
  } catch (...) {
    if (AStyleSheets)
      while (AStyleSheets->GetCount() > listed) AStyleSheets->Delete(AStyleSheets->GetCount() - 1);
    for (auto it = made.rbegin(); it != made.rend(); ++it) (*it)->Free();
    throw;
  }
}

// The section each sheet is written under: its caption, unless a section of
// that name (in any letter case) is already taken; then the caption with the
// first free " (n)" that is no sheet's own caption either.
class TSectionNames {
 public:
  explicit TSectionNames(TList* AStyleSheets) {
    for (Integer i = 0; AStyleSheets && i < AStyleSheets->GetCount(); ++i)
      if (auto* sheet = static_cast<TcxCustomStyleSheet*>(AStyleSheets->Get(i)))
        FCaptions.insert(AnsiUpperCase(sheet->GetCaption()));
  }

  AnsiString Take(const AnsiString& ACaption) {
    AnsiString name = ACaption;
    Integer n = 1;
    while (FTaken.contains(AnsiUpperCase(name)) || (n > 1 && FCaptions.contains(AnsiUpperCase(name))))
      name = ACaption + " (" + IntToStr(++n) + ")";
    FTaken.insert(AnsiUpperCase(name));
    return name;
  }

 private:
  std::set<AnsiString> FCaptions;
  std::set<AnsiString> FTaken;
};

}  // namespace

void SaveStyleSheetsToIniFile(const AnsiString& AFileName, TList* AStyleSheets) {
  std::unique_ptr<TMemIniFile, void (*)(TObject*)> ini(New<TMemIniFile>(AFileName), &Free);
  // The file holds exactly the sheets saved: pieces of an older, longer
  // bitmap must not be read back behind a new one.
  ini->Clear();
  TSectionNames sectionNames(AStyleSheets);
  for (Integer i = 0; AStyleSheets && i < AStyleSheets->GetCount(); ++i) {
    auto* sheet = static_cast<TcxCustomStyleSheet*>(AStyleSheets->Get(i));
    if (!sheet) continue;
    TcxCustomStyles* styles = sheet->GetStyles();
    const AnsiString caption = sheet->GetCaption();
    AnsiString section;
    bool hasSection = false;
    for (const TPropInfo* prop : GetStyleProperties(styles->ClassType())) {
      auto* style = dynamic_cast<TcxStyle*>(GetObjectProp(styles, prop));
      if (!style) continue;
      // A sheet without styles gets no section and so takes no name.
      if (!hasSection) {
        hasSection = true;
        section = sectionNames.Take(caption);
        if (section != caption) ini->WriteString(section, AnsiString(CaptionKey), caption);
      }
      ini->WriteString(section, prop->Name, StyleValueText(style));
      if (!style->GetAssignedValues().Contains(svBitmap) || style->GetBitmap()->Empty()) continue;
      const AnsiString hex = BitmapHex(style->GetBitmap());
      for (std::size_t at = 0, n = 0; at < hex.size(); at += BitmapPieceLength, ++n)
        ini->WriteString(section, prop->Name + AnsiString(BitmapKeyPart) + IntToStr(static_cast<Integer>(n)),
                         hex.substr(at, BitmapPieceLength));
    }
  }
  ini->UpdateFile();
}

void LoadStyleSheetsFromIniFile(const AnsiString& AFileName, TcxStyleRepository* AStyleRepository,
                                TcxCustomStyleSheetClass AStyleSheetClass, TStrings* ASectionNames, TComponent* AOwner,
                                TList* AStyleSheets, TcxStyleGetName AGetStyleName) {
  if (!AStyleRepository || !AStyleSheetClass) return;
  std::unique_ptr<TMemIniFile, void (*)(TObject*)> ini(New<TMemIniFile>(AFileName), &Free);
  TStringList sections;
  if (ASectionNames && ASectionNames->GetCount() > 0)
    sections.AddStrings(ASectionNames);
  else
    ini->ReadSections(&sections);

  // Sheet by sheet: each is read whole before anything of it is made, so a
  // damaged value stops the loading with the sheets before it complete and
  // nothing of its own sheet left behind.
  TStyleSheetFileReader reader(ini.get(), StylesClassOf(AStyleSheetClass));
  for (Integer i = 0; i < sections.GetCount(); ++i) {
    TStringList keys;
    ini->ReadSection(sections[i], &keys);
    if (keys.GetCount() > 0)
      MakeStyleSheet(reader.ReadSection(sections[i]), AStyleRepository, AStyleSheetClass, AOwner, AStyleSheets,
                     AGetStyleName);
  }
}
