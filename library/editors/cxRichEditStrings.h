// The text side of the rich text editor: the line list over its inner
// rich-edit window, the streams in and out of that window (rich or plain
// text, every line break made one the window keeps), the conversions by
// file extension, and the tests and conversions of line breaks and rich
// text that the editor, its cells and its renderer share.
//
// Values and files come from outside: what does not read as rich text is
// read as plain text, and what cannot be read at all fails with "Failed to
// Load Stream" and leaves the window as it was.
#pragma once

#include <string_view>

#include "platform/controls/RichEdit.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Variant.h"

class TcxRichInnerEdit;

// Copies ALength bytes of ASource into ADest, every line break (CR LF, a
// lone CR or a lone LF) written as CR LF, or as a single CR with
// ASingleCR; zero-terminates ADest and answers the bytes written. ADest
// needs room for twice ALength and one. NUL bytes are copied like any
// other.
Integer AdjustRichLineBreaks(char* ADest, const char* ASource, Integer ALength, bool ASingleCR);
AnsiString AdjustRichLineBreaks(std::string_view ASource, bool ASingleCR);

// A text is rich text when it starts with exactly "{\rtf".
bool IsRichText(std::string_view AText);

// Loads a value into a platform rich edit through its own lines: plain
// text with PlainText on, otherwise rich text, falling back to plain.
void SetRichEditText(TRichEdit* ARichEdit, const Variant& AValue);

// The process's conversions by file extension, newest first, ending in the
// built-in "txt" (the default) and "rtf" entries.
void RegisterRichConversionFormat(const AnsiString& AExtension, TConversionClass AConversionClass);
// The conversion of a file name's extension (lower-cased, without the
// dot; the first entry that has it), or the default entry's.
TConversionClass RichConversionFor(const AnsiString& AFileName);
void FreeRichConversionFormats();

ORV_ENUM(TcxRichEditStreamOperation, esoLoadFrom, esoSaveTo)

class TcxRichEditStrings : public TStrings {
  ORV_CLASS(TcxRichEditStrings, TStrings)
 public:
  explicit TcxRichEditStrings(TcxRichInnerEdit* ARichEditControl);
  ~TcxRichEditStrings() override;

  AnsiString Get(Integer Index) const override;
  Integer GetCount() const override;
  void Clear() override;
  void Delete(Integer Index) override;
  // 0..count; other indexes do nothing. Raises EOutOfResources "RichEdit
  // line insertion error" when the caret is not after the inserted text.
  void Insert(Integer Index, const AnsiString& S) override;
  void Put(Integer Index, const AnsiString& S) override;
  void AddStrings(TStrings* Strings) override;
  AnsiString GetTextStr() const override;
  void SetTextStr(std::string_view Value) override;

  // Rich text first (unless the window keeps plain text), then the same
  // bytes as plain text; EOutOfResources "Failed to Load Stream" when
  // neither reads, the window's text kept.
  void LoadFromStream(TStream* Stream) override;
  // EOutOfResources "Failed to Save Stream" when the stream refuses.
  void SaveToStream(TStream* Stream) const override;
  void LoadFromFile(const AnsiString& FileName) override;
  void SaveToFile(const AnsiString& FileName) const override;

  // The format the last load used: SF_TEXT or SF_RTF.
  win::WPARAM GetStreamFormat() const { return FTextType; }
  TConversion* GetConverter() const { return FConverter; }

 protected:
  // Takes the conversion of the file name's extension.
  virtual void InitConverter(const AnsiString& AFileName) const;
  // CR LF for windows of the first rich-edit version, CR from 200 on.
  virtual AnsiString GetLineBreakString() const;
  void SetUpdateState(bool Updating) override;

 private:
  // One pass through the window; true when it reported no error.
  bool Stream(TStream* AStream, TcxRichEditStreamOperation AOperation, win::WPARAM AFormat) const;
  win::WPARAM FormatOfWindow() const;
  void MarkEditorUnmodified();

  TcxRichInnerEdit* FRichEditControl;
  mutable TConversion* FConverter = nullptr;
  win::WPARAM FTextType = win::SF_TEXT;
};
