#include "platform/forms/Graphic.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/forms/Bitmap.h"
#include "platform/forms/Icon.h"
#include "platform/forms/JpegImage.h"
#include "platform/forms/Metafile.h"
#include "platform/forms/PictureSignature.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Files.h"
#include "platform/win/Clipboard.h"

// ---- TGraphic ----

void TGraphic::LoadFromFile(const AnsiString& FileName) {
  TMemoryStream stream;
  stream.LoadFromFile(FileName);
  LoadFromStream(&stream);
}

// The picture is written whole in memory first and then replaces the
// file at once: a full disk leaves the old file as it was.
void TGraphic::SaveToFile(const AnsiString& FileName) {
  TMemoryStream stream;
  SaveToStream(&stream);
  stream.SaveToFile(FileName);
}

bool TGraphic::ReadPicture(TStream* Stream, std::vector<Byte>& Bytes, const TPictureParser& AParse) {
  const Int64 start = Stream->GetPosition();
  const Int64 available = Stream->GetSize() - start;
  if (available <= 0) {
    Assign(nullptr);
    return false;
  }
  Bytes.resize(static_cast<std::size_t>(available));
  Stream->ReadBuffer(Bytes.data(), available);
  std::size_t length;
  try {
    length = std::min(AParse(Bytes.data(), Bytes.size()), Bytes.size());
  } catch (...) {
    Stream->SetPosition(start);
    throw;
  }
  Bytes.resize(length);
  Stream->SetPosition(start + static_cast<Int64>(length));
  return true;
}

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed(this);
}

void TGraphic::SetModified(bool Value) {
  if (Value)
    Changed(this);
  else
    FModified = false;
}

void TGraphic::Changed(TObject*) {
  FModified = true;
  if (OnChange) OnChange(this);
}

bool TGraphic::Equals(TGraphic* Graphic) {
  if (!Graphic || Graphic->ClassType() != ClassType()) return false;
  if (Empty() || Graphic->Empty()) return Empty() && Graphic->Empty();
  TMemoryStream mine, theirs;
  SaveToStream(&mine);
  Graphic->SaveToStream(&theirs);
  return mine.GetSize() == theirs.GetSize() &&
         std::memcmp(mine.GetMemory(), theirs.GetMemory(), static_cast<std::size_t>(mine.GetSize())) == 0;
}

void TGraphic::DefineProperties(TFiler* Filer) {
  bool write;
  if (Filer->GetAncestor())
    write = !dynamic_cast<TGraphic*>(Filer->GetAncestor()) || !Equals(static_cast<TGraphic*>(Filer->GetAncestor()));
  else
    write = !Empty();
  Filer->DefineBinaryProperty("Data", TStreamProc::Bind<&TGraphic::ReadData>(this),
                              TStreamProc::Bind<&TGraphic::WriteData>(this), write);
}

win::HDC TGraphic::CanvasDC(TCanvas* Canvas) {
  Canvas->RequiredState(csAllValid);
  return Canvas->FHandle;
}

// ---- The registries ----

namespace {

struct FileFormat {
  AnsiString Extension;  // without the dot, lower case
  AnsiString Description;
  TGraphicClass Class;
};

struct ClipboardFormat {
  Word Format;
  TGraphicClass Class;
};

// Made on first use with the formats this tier reads itself.
std::vector<FileFormat>& FileFormats() {
  static std::vector<FileFormat> formats{
      {"bmp", "Bitmaps", TBitmap::StaticClass()},
      {"ico", "Icons", TIcon::StaticClass()},
      {"emf", "Enhanced Metafiles", TMetafile::StaticClass()},
      {"wmf", "Metafiles", TMetafile::StaticClass()},
      {"jpg", "JPEG Image File", TJPEGImage::StaticClass()},
      {"jpeg", "JPEG Image File", TJPEGImage::StaticClass()},
  };
  return formats;
}

std::vector<ClipboardFormat>& ClipboardFormats() {
  static std::vector<ClipboardFormat> formats{
      {static_cast<Word>(win::CF_BITMAP), TBitmap::StaticClass()},
      {static_cast<Word>(win::CF_METAFILEPICT), TMetafile::StaticClass()},
      {static_cast<Word>(win::CF_ENHMETAFILE), TMetafile::StaticClass()},
  };
  return formats;
}

AnsiString Extension(const AnsiString& ext) { return LowerCase(!ext.empty() && ext[0] == '.' ? ext.substr(1) : ext); }

}  // namespace

void TPicture::RegisterFileFormat(const AnsiString& AExtension, const AnsiString& ADescription,
                                  TGraphicClass AGraphicClass) {
  if (!AGraphicClass) throw EInvalidGraphic("A file format needs a graphic class");
  AnsiString ext = Extension(AExtension);
  std::vector<FileFormat>& formats = FileFormats();
  std::erase_if(formats, [&](const FileFormat& f) { return f.Extension == ext; });
  formats.push_back({ext, ADescription, AGraphicClass});
}

void TPicture::RegisterClipboardFormat(Word AFormat, TGraphicClass AGraphicClass) {
  if (!AGraphicClass) throw EInvalidGraphic("A clipboard format needs a graphic class");
  std::vector<ClipboardFormat>& formats = ClipboardFormats();
  std::erase_if(formats, [&](const ClipboardFormat& f) { return f.Format == AFormat; });
  formats.push_back({AFormat, AGraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass AClass) {
  std::erase_if(FileFormats(), [&](const FileFormat& f) { return f.Class == AClass; });
  std::erase_if(ClipboardFormats(), [&](const ClipboardFormat& f) { return f.Class == AClass; });
}

bool TPicture::SupportsClipboardFormat(Word AFormat) {
  for (const ClipboardFormat& f : ClipboardFormats())
    if (f.Format == AFormat) return true;
  return false;
}

AnsiString TPicture::GraphicFilter(TGraphicClass GraphicClass) {
  AnsiString masks, entries;
  for (const FileFormat& f : FileFormats()) {
    if (GraphicClass && !f.Class.InheritsFrom(GraphicClass)) continue;
    AnsiString mask = "*." + f.Extension;
    masks += (masks.empty() ? "" : ";") + mask;
    entries += "|" + f.Description + " (" + mask + ")|" + mask;
  }
  if (masks.empty()) return "";
  return "All (" + masks + ")|" + masks + entries;
}

AnsiString TPicture::GraphicExtension(TGraphicClass GraphicClass) {
  for (const FileFormat& f : FileFormats())
    if (!GraphicClass || f.Class.InheritsFrom(GraphicClass)) return f.Extension;
  return "";
}

TGraphicClass TPicture::GraphicClassOfExtension(const AnsiString& AExtension) {
  AnsiString ext = Extension(AExtension);
  for (const FileFormat& f : FileFormats())
    if (f.Extension == ext) return f.Class;
  return nullptr;
}

TGraphicClass TPicture::FindGraphicClass(const AnsiString& AClassName) {
  for (const FileFormat& f : FileFormats())
    if (SameText(f.Class.ClassName(), AClassName)) return f.Class;
  for (const ClipboardFormat& f : ClipboardFormats())
    if (SameText(f.Class.ClassName(), AClassName)) return f.Class;
  return nullptr;
}

// ---- TPicture ----

TPicture::~TPicture() { ::Free(FGraphic); }

void TPicture::Changed(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::Replace(TGraphic* NewGraphic) {
  TGraphic* old = FGraphic;
  FGraphic = NewGraphic;
  if (NewGraphic) NewGraphic->OnChange = TNotifyEvent::Bind<&TPicture::Changed>(this);
  ::Free(old);
  Changed(this);
}

// Makes a graphic of a class and lets Fill load it; the new graphic
// replaces the picture's only when Fill succeeds.
template <class F>
static TGraphic* MakeGraphic(TGraphicClass Class, F&& Fill) {
  TGraphic* g = Class.Create();
  if (!g) throw EInvalidGraphic("Cannot create a graphic of class %s", {Class.ClassName()});
  try {
    Fill(g);
  } catch (...) {
    g->Free();
    throw;
  }
  return g;
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic) return;
  TGraphic* g = nullptr;
  if (Value) g = MakeGraphic(TGraphicClass(Value->ClassType()), [&](TGraphic* n) { n->Assign(Value); });
  Replace(g);
}

TBitmap* TPicture::GetBitmap() {
  if (auto* b = dynamic_cast<TBitmap*>(FGraphic)) return b;
  Replace(New<TBitmap>());
  return static_cast<TBitmap*>(FGraphic);
}

void TPicture::SetBitmap(TBitmap* Value) { SetGraphic(Value); }

TIcon* TPicture::GetIcon() {
  if (auto* i = dynamic_cast<TIcon*>(FGraphic)) return i;
  Replace(New<TIcon>());
  return static_cast<TIcon*>(FGraphic);
}

void TPicture::SetIcon(TIcon* Value) { SetGraphic(Value); }

TMetafile* TPicture::GetMetafile() {
  if (auto* m = dynamic_cast<TMetafile*>(FGraphic)) return m;
  Replace(New<TMetafile>());
  return static_cast<TMetafile*>(FGraphic);
}

void TPicture::SetMetafile(TMetafile* Value) { SetGraphic(Value); }

Integer TPicture::GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }

Integer TPicture::GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

void TPicture::DoAssign(TPersistent* Source) {
  if (!Source)
    SetGraphic(nullptr);
  else if (auto* p = dynamic_cast<TPicture*>(Source))
    SetGraphic(p->FGraphic);
  else if (auto* g = dynamic_cast<TGraphic*>(Source))
    SetGraphic(g);
  else
    inherited::DoAssign(Source);
}

void TPicture::AssignTo(TPersistent* Dest) {
  if (FGraphic && Dest && FGraphic->InheritsFrom(Dest->ClassType()))
    Dest->Assign(FGraphic);
  else
    inherited::AssignTo(Dest);
}

void TPicture::LoadFromFile(const AnsiString& FileName) {
  TMemoryStream stream;
  stream.LoadFromFile(FileName);
  const auto size = static_cast<std::size_t>(stream.GetSize());
  // A format registered by a program has no signature known here: its
  // files are found by their extension.
  TGraphicClass cls;
  if (AnsiString format = PictureFormatOfData(static_cast<const Byte*>(stream.GetMemory()), size); !format.empty())
    cls = GraphicClassOfExtension(format);
  if (!cls && size > 0) cls = GraphicClassOfExtension(ExtractFileExt(FileName));
  if (!cls) throw EInvalidGraphic("\"%s\" holds no picture of a known format", {FileName});
  try {
    Replace(MakeGraphic(cls, [&](TGraphic* g) { g->LoadFromStream(&stream); }));
  } catch (const EInvalidGraphic& e) {
    throw EInvalidGraphic("Cannot read the picture in \"%s\": %s", {FileName, e.GetMessage()});
  }
}

void TPicture::SaveToFile(const AnsiString& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::LoadFromClipboardFormat(Word AFormat, win::HANDLE AData, win::HPALETTE APalette) {
  TGraphicClass cls;
  for (const ClipboardFormat& f : ClipboardFormats())
    if (f.Format == AFormat) cls = f.Class;
  if (!cls) throw EInvalidGraphic("Unsupported clipboard format");
  Replace(MakeGraphic(cls, [&](TGraphic* g) { g->LoadFromClipboardFormat(AFormat, AData, APalette); }));
}

void TPicture::SaveToClipboardFormat(Word& AFormat, win::HANDLE& AData, win::HPALETTE& APalette) {
  AFormat = 0;
  AData = nullptr;
  APalette = nullptr;
  if (FGraphic) FGraphic->SaveToClipboardFormat(AFormat, AData, APalette);
}

void TPicture::DefineProperties(TFiler* Filer) {
  bool write;
  if (Filer->GetAncestor()) {
    write = true;
    if (auto* a = dynamic_cast<TPicture*>(Filer->GetAncestor()))
      write = !(FGraphic == a->FGraphic || (FGraphic && a->FGraphic && FGraphic->Equals(a->FGraphic)));
  } else {
    write = FGraphic != nullptr;
  }
  Filer->DefineBinaryProperty("Data", TStreamProc::Bind<&TPicture::ReadData>(this),
                              TStreamProc::Bind<&TPicture::WriteData>(this), write);
}

// The "Data" value: the graphic's class name as a short string, then the
// graphic's own data. Data without a class name is a bitmap's.
void TPicture::ReadData(TStream* Stream) {
  Byte length = 0;
  if (Stream->Read(&length, 1) != 1 || length > Stream->GetSize() - Stream->GetPosition())
    throw EInvalidGraphic("Invalid picture data");
  AnsiString name(length, '\0');
  if (length) Stream->ReadBuffer(name.data(), length);
  TGraphicClass cls = name.empty() ? TGraphicClass(TBitmap::StaticClass()) : FindGraphicClass(name);
  if (!cls) throw EInvalidGraphic("Unknown picture class %s", {name});
  Replace(MakeGraphic(cls, [&](TGraphic* g) { g->ReadData(Stream); }));
}

void TPicture::WriteData(TStream* Stream) {
  AnsiString name = FGraphic ? FGraphic->ClassName() : AnsiString();
  auto length = static_cast<Byte>(std::min<std::size_t>(name.size(), 255));
  Stream->WriteBuffer(&length, 1);
  Stream->WriteBuffer(name.data(), length);
  if (FGraphic) FGraphic->WriteData(Stream);
}

ORV_REGISTER(TGraphic)
ORV_REGISTER(TPicture)
