// What a text editor without a visible inner edit, or a grid cell of a
// text column, shows: the view data turns the value into the text to
// draw, its rectangle, the text flags and the selection to highlight, and
// answers the content size; the view info keeps the result and paints it
// through cxTextOut.
//
// The unit routines also serve the properties and the editor: letter case,
// digit grouping of numbers (also while typing) and the grid's own text
// output and content measuring.
#pragma once

#include "library/editors/core/cxEditTextUtils.h"
#include "library/editors/core/cxEditViewInfo.h"
#include "library/editors/core/cxTextEditProperties.h"

class TcxCustomTextEditViewInfo;

// The laid-out text of a view info, kept between paints: the parameters
// from the flags, the rectangle the rows were made in and the rows.
struct TcxTextOutData {
  TcxTextParams TextParams;
  TRect TextRect{};
  TcxTextRows TextRows;
  Integer TextRowCount = 0;
};

// What SeparateDigitGroups asks of the editor it regroups.
class IcxTextEditDigitGroupsEdit {
 public:
  virtual ~IcxTextEditDigitGroupsEdit() = default;
  virtual AnsiString GetText() = 0;
  virtual Integer GetSelStart() = 0;
  virtual void SetSelStart(Integer Value) = 0;
  // Shows the text as the display value without validating it.
  virtual void SetInternalDisplayValue(const Variant& Value) = 0;
};

using TcxTextEditCustomDrawHandler = Event<void(TcxCanvas* ACanvas, const TRect& ARect)>;

class TcxCustomTextEditViewData : public TcxCustomEditViewData {
  ORV_CLASS(TcxCustomTextEditViewData, TcxCustomEditViewData)
 public:
  TcxCustomTextEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomEditViewData(AProperties, AStyle, AIsInplace) {}

  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) override;
  TRect GetClientExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) override;
  void InitCacheData() override;

  // Introduced, in this order.
  virtual bool GetIsEditClass();
  virtual Integer GetMaxLineCount() { return MaxLineCount; }
  virtual bool IsComboBoxStyle() { return false; }
  virtual void PrepareDrawTextFlags(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo);
  // Puts the display text of V (password echo, letter case) into the view
  // info's Text.
  virtual void DisplayValueToDrawValue(const Variant& V, TcxCustomEditViewInfo* AViewInfo);
  virtual Integer GetDrawTextFlags();
  virtual TRect GetDrawTextOffset();

  // Copies the selection to draw and chooses its colours.
  void PrepareSelection(TcxCustomEditViewInfo* AViewInfo);
  TcxCustomTextEditProperties* GetProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(TcxCustomEditViewData::GetProperties());
  }

  // Set by the owner: the selection to highlight, in the view data's
  // selection colours (clDefault when unset), and the row limit.
  Integer SelStart = 0;
  Integer SelLength = 0;
  Integer MaxLineCount = 0;

 protected:
  AnsiString InternalEditValueToDisplayText(const Variant& AEditValue) override;
  TSize InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                   const TcxEditSizeProperties& AEditSizeProperties) override;

 private:
  // Flags for a text that may need several rows in an automatic height.
  Integer MultiLineDrawTextFlags(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo);

  bool FIsValueEditorWithValueFormatting = false;
};

class TcxCustomTextEditViewInfo : public TcxCustomEditViewInfo {
  ORV_CLASS(TcxCustomTextEditViewInfo, TcxCustomEditViewInfo)
 public:
  TcxCustomTextEditViewInfo() = default;

  void Assign(TObject* Source) override;
  TcxRegion* GetUpdateRegion(TcxContainerViewInfo* AViewInfo) override;
  // The form without visible bounds stays the base's, which asks this one.
  using TcxCustomEditViewInfo::NeedShowHint;
  bool NeedShowHint(TcxCanvas* ACanvas, const TPoint& P, const TRect& AVisibleBounds, AnsiString& AText,
                    bool& AIsMultiLine, TRect& ATextRect) override;
  void Offset(Integer DX, Integer DY) override;

  // Introduced, in this order.
  virtual void DrawText(TcxCanvas* ACanvas);
  virtual Integer GetTextBaseLine();

  // The custom drawing of the text area, in place of the text.
  TcxTextEditCustomDrawHandler CustomDrawHandler;
  TcxEditEditingStyle EditingStyle = esEdit;
  bool HasPopupWindow = false;
  // The inner edit is shown; the view info draws no text then.
  bool IsEditClass = false;
  Integer MaxLineCount = 0;
  Integer SelStart = 0;
  Integer SelLength = 0;
  TColor SelBackgroundColor = clDefault;
  TColor SelTextColor = clDefault;
  // The whole text area in the highlight colours.
  bool DrawSelected = false;
  Integer DrawTextFlags = 0;
  bool ComboBoxStyle = false;
  AnsiString Text;
  // The rows in TextOutData were made for the current text and flags.
  bool TextRowsPrepared = false;
  TcxTextOutData TextOutData;
  TRect TextRect{};

 protected:
  void InternalPaint(TcxCanvas* ACanvas) override;
};

using TcxCustomTextEditViewDataClass = TClassRef<TcxCustomTextEditViewData>;
using TcxCustomTextEditViewInfoClass = TClassRef<TcxCustomTextEditViewInfo>;

// S in the letter case (the locale's case tables).
AnsiString CheckCharsRegister(const AnsiString& S, TEditCharCase ACharCase);
// S without the locale's thousand separator.
void RemoveThousandSeparator(AnsiString& S);
// The numeric editors' reading of a text: thousand separators dropped,
// then the locale's number, accepted when it is 0 or its magnitude lies
// from 5.0e-324 to 1.7e+308 (a text that underflows a double is refused,
// not read as 0). Value is 0 when the answer is false.
bool cxStrToNumber(AnsiString S, double& Value);
// Moves the part from the first "E" (either case) to the end out of S.
void RemoveExponentialPart(AnsiString& S, AnsiString& AExponentialPart);
// The integer digits of a number text grouped by the locale's thousand
// separator; blanks around, a sign and an exponent stay as they were.
AnsiString InsertThousandSeparator(const AnsiString& S);
// Regroups the digits of a numeric editor's text while the user types,
// keeping the caret after the same digit.
void SeparateDigitGroups(IcxTextEditDigitGroupsEdit* AEdit);

// The text's offsets inside a view data's client area.
TRect GetTextEditDrawTextOffset(TcxCustomEditViewData* AViewData);
// The fixed offsets of a stand-alone editor's text (AIsInplace false) and
// of a cell's text (true); the alignment does not change them.
TRect GetTextEditDrawTextOffset(TAlignment AAlignment, bool AIsInplace);
// The size a text needs in an editor of AViewData under the size limits;
// ALineCount > 0 fixes the row count. The width includes the left and right
// offsets only with ACorrectWidth.
TSize GetTextEditContentSize(TcxCanvas* ACanvas, TcxCustomEditViewData* AViewData, const AnsiString& AText,
                             Cardinal ADrawTextFlags, const TcxEditSizeProperties& AEditSizeProperties,
                             Integer ALineCount = 0, bool ACorrectWidth = true);

// Paints a text editor that shows no inner edit: background, frame, text
// and focus rectangle.
void DrawTextEdit(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo);
// The view info's text in its rectangle, flags, selection and font.
void DrawEditText(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo);
// Lays out (unless ATextOutData holds rows already) and draws AText with
// the selection [ASelStart, ASelStart + ASelLength) highlighted; a
// selection starting outside the text is none.
void InternalTextOut(TcxCanvas* ACanvas, const AnsiString& AText, TcxTextOutData& ATextOutData,
                     bool& ATextRowsPrepared, const TRect& ATextRect, Cardinal ADrawTextFlags, Integer ASelStart,
                     Integer ASelLength, TColor ASelBackgroundColor, TColor ASelTextColor,
                     Integer AMaxLineCount = 0);
// Every bit of the colour's red, green and blue bytes inverted.
TColor InvertColor(TColor AColor);
