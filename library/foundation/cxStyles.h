// Styles: named, shareable appearance objects. A TcxStyle carries up to four
// values (background colour, text colour, font, background bitmap), each
// with an assigned bit. A control keeps numbered style slots in a TcxStyles
// object and asks it for view parameters, which combine the slot's style
// with a per-call style and fill the rest from the control's defaults.
// Styles and style sheets live in a TcxStyleRepository; a style sheet is a
// named, reusable set of slots that any number of TcxStyles fall back on,
// and sheets can be saved to and loaded from an INI file.
#pragma once

#include <vector>

#include "library/foundation/cxClasses.h"
#include "library/foundation/cxGraphics.h"
#include "platform/forms/Bitmap.h"
#include "platform/forms/Graphics.h"

class TcxCustomStyle;
class TcxStyle;
class TcxCustomStyles;
class TcxCustomStyleSheet;
class TcxStyleRepository;

ORV_ENUM(TcxStyleValue, svBitmap, svColor, svFont, svTextColor)
using TcxStyleValues = Set<TcxStyleValue>;
inline constexpr TcxStyleValues cxAllStyleValues{svBitmap, svColor, svFont, svTextColor};

class IcxStyleChangeListener {
 public:
  virtual ~IcxStyleChangeListener() = default;
  virtual void StyleChanged(TcxCustomStyle* AStyle) = 0;
  virtual void StyleRemoved(TcxCustomStyle* AStyle) = 0;
};

// ---------------------------------------------------------------------------
// Styles.

class TcxCustomStyle : public TComponent {
  ORV_CLASS(TcxCustomStyle, TComponent)
 public:
  explicit TcxCustomStyle(TComponent* AOwner);
  void BeforeDestruction() override;

  // Tells every listener, the last added first.
  virtual void Changed();
  // A listener is kept once.
  virtual void AddListener(IcxStyleChangeListener* AListener);
  virtual void RemoveListener(IcxStyleChangeListener* AListener);
  virtual void RestoreDefaults() {}

  TcxStyleRepository* GetStyleRepository() const { return FStyleRepository; }
  void SetStyleRepository(TcxStyleRepository* Value);
  // The position in the repository, or -1.
  Integer GetIndex() const;
  Integer GetListenerCount() const { return static_cast<Integer>(FListeners.size()); }

  TComponent* GetParentComponent() override;
  bool HasParent() override { return FStyleRepository != nullptr; }
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader* Reader) override;

 private:
  std::vector<IcxStyleChangeListener*> FListeners;
  TcxStyleRepository* FStyleRepository = nullptr;
};

using TcxCustomStyleClass = TClassRef<TcxCustomStyle>;

class TcxStyle : public TcxCustomStyle {
  ORV_CLASS(TcxStyle, TcxCustomStyle)
 public:
  explicit TcxStyle(TComponent* AOwner);
  ~TcxStyle() override;

  // Nothing assigned, an empty bitmap, both colours clDefault. The font
  // keeps its contents but no longer counts.
  void RestoreDefaults() override;

  TcxStyleValues GetAssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxStyleValues Value);
  TBitmap* GetBitmap() const { return FBitmap; }
  // Copies the given bitmap.
  void SetBitmap(TBitmap* Value);
  // clDefault takes the value's bit out of AssignedValues; any other
  // colour puts it in.
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  TFont* GetFont() const { return FFont; }
  // Copies the given font.
  void SetFont(TFont* Value);
  TColor GetTextColor() const { return FTextColor; }
  void SetTextColor(TColor Value);

  bool IsBitmapStored() { return FAssignedValues.Contains(svBitmap); }
  bool IsColorStored() { return FAssignedValues.Contains(svColor); }
  bool IsFontStored() { return FAssignedValues.Contains(svFont); }
  bool IsTextColorStored() { return FAssignedValues.Contains(svTextColor); }

 protected:
  // From another TcxStyle: bitmap, colour, font, text colour, then the
  // assigned set as the source has it.
  void DoAssign(TPersistent* Source) override;

 private:
  void BitmapChanged(TObject* Sender);
  void FontChanged(TObject* Sender);

  TcxStyleValues FAssignedValues;
  TBitmap* FBitmap;
  TColor FColor = clDefault;
  TFont* FFont;
  TColor FTextColor = clDefault;
};

// True when the style exists and has AValue assigned.
bool UseStyle(TcxStyle* AStyle, TcxStyleValue AValue);
// Fills from AStyle the parameters not yet in ADone and answers ADone with
// the values taken (colour, font, text colour, bitmap).
TcxStyleValues CombineParamsWithStyle(TcxStyle* AStyle, TcxStyleValues ADone, TcxViewParams& AParams);

// ---------------------------------------------------------------------------
// Style slots.

struct TcxCustomStylesItem {
  Integer Index = 0;
  TcxCustomStyle* Item = nullptr;
};

class TcxCustomStyles : public TcxInterfacedPersistent, public IcxStyleChangeListener {
  ORV_CLASS(TcxCustomStyles, TcxInterfacedPersistent)
 public:
  explicit TcxCustomStyles(TPersistent* AOwner);
  ~TcxCustomStyles() override;

  // The slot's style, else the style sheet's (through the sheets it falls
  // back on), except while the owning component is being written.
  TcxCustomStyle* GetValue(Integer AIndex) const;
  void SetValue(Integer AIndex, TcxCustomStyle* AValue);

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  const TcxCustomStylesItem& GetItem(Integer AIndex) const { return FItems.at(AIndex); }
  void Clear();
  void Delete(Integer AIndex);
  // A binary search; when not found, APosition is where AIndex would go.
  bool Find(Integer AIndex, Integer& APosition) const;
  // Empties the slots 0 .. Count - 1 (as counted at the start), then every
  // slot still holding a style.
  void ResetStyles();

  TcxCustomStyleSheet* GetStyleSheet() const { return FStyleSheet; }
  // Ignored for a sheet that is not valid here (see IsValidStyleSheet).
  void SetStyleSheet(TcxCustomStyleSheet* Value);
  // The sheet whose own styles these are, or null.
  TcxCustomStyleSheet* GetOwnerStyleSheet() const { return FOwnerStyleSheet; }

  void StyleChanged(TcxCustomStyle* AStyle) override;
  void StyleRemoved(TcxCustomStyle* AStyle) override;

 protected:
  // The slots take the other object's style sheet, not its own items.
  void DoAssign(TPersistent* Source) override;

  virtual void Changed(Integer AIndex) { (void)AIndex; }
  virtual void DoChanged(Integer AIndex);
  bool IsDestroying() const { return FDestroying; }

 private:
  friend class TcxCustomStyleSheet;
  bool IsValidStyleSheet(TcxCustomStyleSheet* AStyleSheet) const;
  // Slot indexes of the sheet and of every sheet down its chain, once each.
  void CollectSheetIndexes(TcxCustomStyleSheet* AStyleSheet, std::vector<Integer>& AIndexes) const;
  bool IsOwnerWriting() const;

  bool FDestroying = false;
  std::vector<TcxCustomStylesItem> FItems;
  TcxCustomStyleSheet* FStyleSheet = nullptr;
  TcxCustomStyleSheet* FOwnerStyleSheet = nullptr;
};

using TcxCustomStylesClass = TClassRef<TcxCustomStyles>;

class TcxStyles : public TcxCustomStyles, public IcxFontListener {
  ORV_CLASS(TcxStyles, TcxCustomStyles)
 public:
  explicit TcxStyles(TPersistent* AOwner) : TcxCustomStyles(AOwner) {}

  // A per-call style first, then the slot's style, then the defaults for
  // whatever is still unset.
  void GetViewParams(Integer AIndex, TObject* AData, TcxStyle* AStyle, TcxViewParams& AParams);
  // The slot style's bitmap when assigned and not empty, else null.
  TBitmap* GetBitmap(Integer AIndex) const;

  // Every slot that takes its font from the defaults and whose default is
  // AFont changes.
  void DefaultFontChanged(TObject* Sender, TFont* AFont) override;

 protected:
  // Descendants fill colours and font, then call this one.
  virtual void GetDefaultViewParams(Integer AIndex, TObject* AData, TcxViewParams& AParams);
  // True unless the slot's style has a font assigned.
  virtual bool IsDefaultFont(Integer AIndex);

  bool FUseBitmapInViewParams = false;

 private:
  TcxStyle* SlotStyle(Integer AIndex) const;
  Integer FMaxDefaultViewParamsIndex = 0;
};

// ---------------------------------------------------------------------------
// Style sheets and the repository.

class TcxCustomStyleSheet : public TcxComponent {
  ORV_CLASS(TcxCustomStyleSheet, TcxComponent)
 public:
  explicit TcxCustomStyleSheet(TComponent* AOwner);
  ~TcxCustomStyleSheet() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // Copies every style of ASheet into new styles owned by this sheet's
  // owner, at the same slots; only between sheets of the same styles class.
  void CopyFrom(TcxCustomStyleSheet* AStyleSheet);

  // The caption, or the component name when it is empty. A caption equal to
  // the name (ignoring case) clears it.
  AnsiString GetCaption() const;
  void SetCaption(const AnsiString& Value);
  bool IsCaptionStored() { return !FCaption.empty(); }
  bool GetBuiltIn() const { return FBuiltIn; }
  void SetBuiltIn(bool Value) { FBuiltIn = Value; }
  TcxCustomStyles* GetStyles() const { return FStyles; }
  void SetStyles(TcxCustomStyles* Value) { FStyles->Assign(Value); }
  TcxStyleRepository* GetStyleRepository() const { return FStyleRepository; }
  void SetStyleRepository(TcxStyleRepository* Value);
  Integer GetUserCount() const { return static_cast<Integer>(FUsers.size()); }
  // The owners of this sheet's styles other than the sheet's own owner.
  void GetFakeComponentLinks(TList* AList);

  virtual TcxCustomStylesClass GetStylesClass() const { return TcxCustomStyles::StaticClass(); }

  TComponent* GetParentComponent() override;
  bool HasParent() override { return FStyleRepository != nullptr; }
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader* Reader) override;
  void DefineProperties(TFiler* Filer) override;

 protected:
  // From another sheet: the caption and the styles' style sheet.
  void DoAssign(TPersistent* Source) override;

 private:
  friend class TcxCustomStyles;
  void DoStyleChanged(Integer AIndex);
  void ReadBuiltIn(TReader* Reader);
  void WriteBuiltIn(TWriter* Writer);

  AnsiString FCaption;
  bool FBuiltIn = false;
  TcxCustomStyles* FStyles = nullptr;
  std::vector<TcxCustomStyles*> FUsers;
  TcxStyleRepository* FStyleRepository = nullptr;
};

using TcxCustomStyleSheetClass = TClassRef<TcxCustomStyleSheet>;

class TcxStyleRepository : public TComponent {
  ORV_CLASS(TcxStyleRepository, TComponent)
 public:
  explicit TcxStyleRepository(TComponent* AOwner);
  ~TcxStyleRepository() override;

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxCustomStyle* GetItem(Integer AIndex) const { return FItems.at(AIndex); }
  Integer GetStyleSheetCount() const { return static_cast<Integer>(FStyleSheets.size()); }
  TcxCustomStyleSheet* GetStyleSheet(Integer AIndex) const { return FStyleSheets.at(AIndex); }

  // Free the last element until none is left.
  void Clear();
  void ClearStyleSheets();
  virtual TcxCustomStyle* CreateItem(TcxCustomStyleClass AStyleClass);
  virtual TcxCustomStyle* CreateItemEx(TcxCustomStyleClass AStyleClass, TComponent* AOwner);
  virtual TcxCustomStyleSheet* CreateStyleSheet(TcxCustomStyleSheetClass AStyleSheetClass);
  virtual TcxCustomStyleSheet* CreateStyleSheetEx(TcxCustomStyleSheetClass AStyleSheetClass, TComponent* AOwner);
  Integer StyleIndexOf(TcxCustomStyle* AStyle) const;
  Integer StyleSheetIndexOf(TcxCustomStyleSheet* AStyleSheet) const;

  // Streams its styles, then its sheets, each only when Root owns it.
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

 private:
  friend class TcxCustomStyle;
  friend class TcxCustomStyleSheet;
  std::vector<TcxCustomStyle*> FItems;
  std::vector<TcxCustomStyleSheet*> FStyleSheets;
};

// ---------------------------------------------------------------------------
// The registered style-sheet classes, in registration order.

void RegisterStyleSheetClass(TcxCustomStyleSheetClass AStyleSheetClass);
void UnregisterStyleSheetClass(TcxCustomStyleSheetClass AStyleSheetClass);
void GetRegisteredStyleSheetClasses(TList* AList);

// Names a style made for a sheet: AName starts as the style's name and
// becomes its component name.
using TcxStyleGetName = Event<void(TcxStyle* AStyle, AnsiString& AName)>;

// The published properties of a styles class whose type is exactly
// TcxStyle, sorted by name.
TPropList GetStyleProperties(TClass AStylesClass);

// Gives the destination sheet a copy of every style the source sheet has,
// creating styles in the destination's repository where it has none.
void CreateStyleSheetStyles(TcxCustomStyleSheet* ADestination, TcxCustomStyleSheet* ASource,
                            TcxStyleGetName AGetStyleName = {});

// One section per sheet that has an assigned style; a list without any
// leaves an empty file. A sheet whose caption names a section already
// written (in any letter case) goes under "<caption> (<n>)" and keeps its
// caption in an "@Caption" key, which the loader gives back.
void SaveStyleSheetsToIniFile(const AnsiString& AFileName, TList* AStyleSheets);
// Reads the named sections (every section when ASectionNames is null or
// empty) into new sheets of AStyleSheetClass, one after the other. A
// damaged value raises EConvertError naming the section and key: the sheets
// read before it stay, and nothing is made of the sheet that holds it.
void LoadStyleSheetsFromIniFile(const AnsiString& AFileName, TcxStyleRepository* AStyleRepository,
                                TcxCustomStyleSheetClass AStyleSheetClass, TStrings* ASectionNames = nullptr,
                                TComponent* AOwner = nullptr, TList* AStyleSheets = nullptr,
                                TcxStyleGetName AGetStyleName = {});

// Registers TcxStyle and TcxStyleRepository for component streaming, so
// that layouts can name them; idempotent, and run by their constructors.
void cxStyles_Initialize();
