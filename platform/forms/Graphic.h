// Graphics and pictures. TGraphic is the abstract picture of the class
// library (bitmaps, icons, metafiles, JPEG pictures); graphic classes are
// metaclasses (TGraphicClass), so a picture makes a graphic of the class a
// file's bytes, a clipboard format or a stream names. TPicture holds one
// graphic of any class and announces every change of it.
//
// Every reader refuses bad data with EInvalidGraphic and leaves the
// picture or graphic it was loading into as it was.
#pragma once

#include <functional>
#include <vector>

#include "platform/forms/Canvas.h"
#include "platform/rtl/Streams.h"
#include "platform/win/Handles.h"

class TFiler;
class TGraphic;
class TBitmap;
class TIcon;
class TMetafile;
using TGraphicClass = TClassRef<TGraphic>;

class TGraphic : public TInterfacedPersistent {
  ORV_CLASS(TGraphic, TInterfacedPersistent)
 public:
  // Files are read and written through LoadFromStream and SaveToStream.
  virtual void LoadFromFile(const AnsiString& FileName);
  virtual void SaveToFile(const AnsiString& FileName);
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  // Clipboard data in one of the formats the class registered. Loading
  // copies what the handle holds; saving hands out a new handle that the
  // receiver owns.
  virtual void LoadFromClipboardFormat(Word AFormat, win::HANDLE AData, win::HPALETTE APalette) = 0;
  virtual void SaveToClipboardFormat(Word& AFormat, win::HANDLE& AData, win::HPALETTE& APalette) = 0;

  virtual bool Empty() const = 0;
  virtual Integer GetWidth() const = 0;
  virtual void SetWidth(Integer Value) = 0;
  virtual Integer GetHeight() const = 0;
  virtual void SetHeight(Integer Value) = 0;
  bool GetTransparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool GetModified() const { return FModified; }
  void SetModified(bool Value);

  // The "Data" value of layouts and component streams.
  void DefineProperties(TFiler* Filer) override;

  // True when both hold the same picture (compared as their streams).
  virtual bool Equals(TGraphic* Graphic);

  TNotifyEvent OnChange;

 protected:
  TGraphic() = default;
  friend class TCanvas;
  friend class TPicture;
  // Draws the graphic into Rect (stretched to fit) on the canvas.
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  // Marks the graphic modified and announces the change.
  virtual void Changed(TObject* Sender);
  // The "Data" value: by default the graphic's own stream.
  virtual void ReadData(TStream* Stream) { LoadFromStream(Stream); }
  virtual void WriteData(TStream* Stream) { SaveToStream(Stream); }
  // The DC of a canvas with its tools selected, without the canvas's own
  // change notifications (the drawing call that asked makes those).
  static win::HDC CanvasDC(TCanvas* Canvas);
  // What every reader of a picture file shares: AParse gets the bytes from
  // the stream's position to its end and answers how many of them make the
  // picture (it throws when they make none). Bytes keeps those, and the
  // stream is left just after them, or where it was when AParse threw. A
  // stream with nothing left empties the graphic and answers false.
  using TPictureParser = std::function<std::size_t(const Byte* Data, std::size_t Size)>;
  bool ReadPicture(TStream* Stream, std::vector<Byte>& Bytes, const TPictureParser& AParse);

  bool FTransparent = false;

 private:
  bool FModified = false;
};

class TPicture : public TInterfacedPersistent {
  ORV_CLASS(TPicture, TInterfacedPersistent)
 public:
  TPicture() = default;
  ~TPicture() override;

  // The graphic (nil when the picture is empty). Setting it copies the
  // given graphic into one of the same class; nil clears.
  TGraphic* GetGraphic() const { return FGraphic; }
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap: a picture holding anything else (or nothing)
  // gets a new, empty bitmap first.
  TBitmap* GetBitmap();
  void SetBitmap(TBitmap* Value);
  // The same for icons and metafiles.
  TIcon* GetIcon();
  void SetIcon(TIcon* Value);
  TMetafile* GetMetafile();
  void SetMetafile(TMetafile* Value);
  Integer GetWidth() const;
  Integer GetHeight() const;

  // Into a graphic of the class the picture holds.
  void AssignTo(TPersistent* Dest) override;

  // Chooses the graphic class by the format the file's bytes begin (the
  // class registered for it), else by the file's extension among the
  // registered formats. An empty file, one of no known format or one its
  // class cannot read raises EInvalidGraphic naming the file.
  void LoadFromFile(const AnsiString& FileName);
  // Writes the graphic in its own format; nothing for an empty picture.
  void SaveToFile(const AnsiString& FileName);
  // Loads clipboard data of a registered format (EInvalidGraphic for
  // others).
  void LoadFromClipboardFormat(Word AFormat, win::HANDLE AData, win::HPALETTE APalette);
  // Nothing for an empty picture (AFormat and AData are then 0).
  void SaveToClipboardFormat(Word& AFormat, win::HANDLE& AData, win::HPALETTE& APalette);

  void DefineProperties(TFiler* Filer) override;

  // ---- The registries of graphic classes ----
  // Extension without the dot ("bmp"), compared without regard to case; a
  // later registration of the same extension wins.
  static void RegisterFileFormat(const AnsiString& AExtension, const AnsiString& ADescription,
                                 TGraphicClass AGraphicClass);
  static void RegisterClipboardFormat(Word AFormat, TGraphicClass AGraphicClass);
  // Removes every file and clipboard format of the class.
  static void UnregisterGraphicClass(TGraphicClass AClass);
  static bool SupportsClipboardFormat(Word AFormat);
  // An open dialog's filter for the formats of the class and its
  // descendants: "All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|...".
  static AnsiString GraphicFilter(TGraphicClass GraphicClass);
  // The first extension registered for the class or a descendant ("bmp"),
  // empty when none.
  static AnsiString GraphicExtension(TGraphicClass GraphicClass);
  // The class registered for an extension (with or without the dot), or
  // nil; and the class of a class name among the registered formats.
  static TGraphicClass GraphicClassOfExtension(const AnsiString& AExtension);
  static TGraphicClass FindGraphicClass(const AnsiString& AClassName);

  TNotifyEvent OnChange;

 protected:
  // From a picture, a graphic or nil (clears); a source that is neither
  // asks itself (AssignTo), then refuses with EConvertError.
  void DoAssign(TPersistent* Source) override;

  void Changed(TObject* Sender);

 private:
  // Puts a new graphic in place of the current one (which is freed).
  void Replace(TGraphic* NewGraphic);
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);

  TGraphic* FGraphic = nullptr;
};
