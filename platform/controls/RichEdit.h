// The rich edit of the class library: TCustomRichEdit over the rich-edit
// window class, and TRichEdit, which publishes it. The window class comes
// from the first rich-edit module that loads; the module stays loaded
// until the units shut down. Its lines load and save through conversion
// classes as rich or plain text; the character and paragraph formats of
// the selection read and set through SelAttributes and Paragraph.
#pragma once

#include "platform/controls/Memo.h"
#include "platform/controls/RichEditControl.h"
#include "platform/forms/Graphics.h"
#include "platform/rtl/Streams.h"

ORV_ENUM(TAttributeType, atSelected, atDefaultText)
ORV_ENUM(TNumberingStyle, nsNone, nsBullet)
ORV_ENUM(TSearchType, stWholeWord, stMatchCase)
using TSearchTypes = Set<TSearchType>;

class TCustomRichEdit;

// The character format of the selection (what typing there will take when
// nothing is selected) or the default one, read and set through the
// window's EM_GETCHARFORMAT and EM_SETCHARFORMAT.
class TTextAttributes : public TPersistent {
  ORV_CLASS(TTextAttributes, TPersistent)
 public:
  TTextAttributes(TCustomRichEdit* AOwner, TAttributeType AType) : FRichEdit(AOwner), FType(AType) {}

  // clWindowText stands for the control's own text colour.
  TColor GetColor() const;
  void SetColor(TColor Value);
  TFontStyles GetStyle() const;
  void SetStyle(TFontStyles Value);
  AnsiString GetName() const;
  void SetName(const AnsiString& Value);
  // Points.
  Integer GetSize() const;
  void SetSize(Integer Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  win::CHARFORMATA Read() const;
  void Write(win::CHARFORMATA& Format) const;

  TCustomRichEdit* FRichEdit;
  TAttributeType FType;
};

// The paragraph format of the selection's paragraphs, read and set
// through the window's EM_GETPARAFORMAT and EM_SETPARAFORMAT. Indents and
// tab stops are in points; FirstIndent is where the first line starts,
// LeftIndent where the others start relative to it.
class TParaAttributes : public TPersistent {
  ORV_CLASS(TParaAttributes, TPersistent)
 public:
  explicit TParaAttributes(TCustomRichEdit* AOwner) : FRichEdit(AOwner) {}

  TAlignment GetAlignment() const;
  void SetAlignment(TAlignment Value);
  Integer GetFirstIndent() const;
  void SetFirstIndent(Integer Value);
  Integer GetLeftIndent() const;
  void SetLeftIndent(Integer Value);
  Integer GetRightIndent() const;
  void SetRightIndent(Integer Value);
  TNumberingStyle GetNumbering() const;
  void SetNumbering(TNumberingStyle Value);
  // Index 0 to 31; out of range reads 0 and sets nothing.
  Integer GetTab(Integer Index) const;
  void SetTab(Integer Index, Integer Value);
  Integer GetTabCount() const;
  void SetTabCount(Integer Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  win::PARAFORMAT Read() const;
  void Write(win::PARAFORMAT& Format) const;

  TCustomRichEdit* FRichEdit;
};

// Moves the bytes of a stream in and out of a rich edit; a descendant
// converts another file format on the way. Each call moves at most
// BufSize bytes and answers how many it moved.
class TConversion : public TObject {
  ORV_CLASS(TConversion, TObject)
 public:
  TConversion() = default;
  virtual Integer ConvertReadStream(TStream* Stream, char* Buffer, Integer BufSize);
  virtual Integer ConvertWriteStream(TStream* Stream, char* Buffer, Integer BufSize);
};
using TConversionClass = TClassRef<TConversion>;

// The lines of a rich edit: the memo's, and loading and saving through a
// conversion chosen by the file's extension. Loading reads rich text
// unless the control is plain text, and reads the data again as plain
// text when it is not rich text.
class TRichEditStrings : public TMemoStrings {
  ORV_CLASS(TRichEditStrings, TMemoStrings)
 public:
  explicit TRichEditStrings(TCustomRichEdit* RichEdit);
  ~TRichEditStrings() override;
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) const override;
  void LoadFromFile(const AnsiString& FileName) override;
  void SaveToFile(const AnsiString& FileName) const override;

 private:
  // Takes the conversion registered for the file's extension.
  void ChooseConverter(const AnsiString& FileName) const;
  bool Pass(TStream* Stream, win::WPARAM Format, bool In) const;

  TCustomRichEdit* FRichEdit;
  mutable TConversion* FConverter = nullptr;
};

using TRichEditResizeEvent = Event<void(TObject* Sender, const TRect& Rect)>;
using TRichEditProtectChange = Event<void(TObject* Sender, Integer StartPos, Integer EndPos, bool& AllowChange)>;
using TRichEditSaveClipboard = Event<void(TObject* Sender, Integer NumObjects, Integer NumChars, bool& SaveClipboard)>;

class TCustomRichEdit : public TCustomMemo {
  ORV_CLASS(TCustomRichEdit, TCustomMemo)
 public:
  explicit TCustomRichEdit(TComponent* AOwner);
  ~TCustomRichEdit() override;

  TTextAttributes* GetSelAttributes() const { return FSelAttributes; }
  void SetSelAttributes(TTextAttributes* Value);
  TTextAttributes* GetDefAttributes() const { return FDefAttributes; }
  void SetDefAttributes(TTextAttributes* Value);
  TParaAttributes* GetParagraph() const { return FParagraph; }
  void SetParagraph(TParaAttributes* Value);
  // Lines load and save plain text rather than rich text.
  bool GetPlainText() const { return FPlainText; }
  void SetPlainText(bool Value) { FPlainText = Value; }
  // The scroll bars hide while everything fits; otherwise they show
  // disabled.
  bool GetHideScrollBars() const { return FHideScrollBars; }
  void SetHideScrollBars(bool Value);
  // The conversion Lines use when no file chose one.
  TConversionClass GetDefaultConverter() const { return FDefaultConverter; }
  void SetDefaultConverter(TConversionClass Value) { FDefaultConverter = Value; }
  Integer GetTextLen();
  bool CanRedo();
  void Redo();

  // Searches StartPos..StartPos + Length downwards; where the text was
  // found, or -1.
  Integer FindText(const AnsiString& SearchStr, Integer StartPos, Integer Length, TSearchTypes Options);
  // There is no printer: printing does nothing.
  virtual void Print(const AnsiString& Caption);

  // Files with the extension (without the dot, any case) load and save
  // through the conversion; the newest registration wins.
  static void RegisterConversionFormat(const AnsiString& AExtension, TConversionClass AConversionClass);
  // The conversion registered for a file name's extension: "txt"'s when
  // none is.
  static TConversionClass ConversionFor(const AnsiString& FileName);

  TNotifyEvent OnSelectionChange;
  TRichEditResizeEvent OnResizeRequest;
  TRichEditProtectChange OnProtectChange;
  TRichEditSaveClipboard OnSaveClipboard;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void SelectionChange();
  virtual void RequestSize(const TRect& Rect);
  virtual bool ProtectChange(Integer StartPos, Integer EndPos);
  virtual bool SaveClipboard(Integer NumObjects, Integer NumChars);

  void CNNotify(TMessage& Message);
  ORV_MESSAGE(win::CN_NOTIFY, CNNotify)

 private:
  TTextAttributes* FSelAttributes = nullptr;
  TTextAttributes* FDefAttributes = nullptr;
  TParaAttributes* FParagraph = nullptr;
  bool FPlainText = false;
  bool FHideScrollBars = true;
  TConversionClass FDefaultConverter;
  // The content as rich text while the window is made again.
  AnsiString FSavedContent;
  bool FContentSaved = false;
  TAlignment FWindowAlignment = taLeftJustify;  // the alignment the window was made with
};

class TRichEdit : public TCustomRichEdit {
  ORV_CLASS(TRichEdit, TCustomRichEdit)
 public:
  explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
};
