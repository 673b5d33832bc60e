// The clipboard: data by format, kept by the back end (in process under
// the headless back end). CF_TEXT is code page 1252 and CF_UNICODETEXT
// UTF-16, each terminated; whichever was put there, the other is made from
// it on request. CF_BITMAP and CF_DIB likewise stand for each other.
// Handles passed to SetClipboardData belong to the clipboard afterwards;
// handles it answers stay valid until the clipboard is emptied or opened
// again. Once another program copies, what was set here is gone: the next
// open (or query while closed) drops it and reads the other program's data.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/Handles.h"

namespace win {

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_METAFILEPICT = 3;
constexpr UINT CF_OEMTEXT = 7;
constexpr UINT CF_DIB = 8;
constexpr UINT CF_UNICODETEXT = 13;
constexpr UINT CF_ENHMETAFILE = 14;
constexpr UINT CF_LOCALE = 16;
constexpr UINT CF_DIBV5 = 17;

constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;

ORV_DECLARE_HANDLE(HMETAFILE)

// The CF_METAFILEPICT block: this structure with hMF null, followed
// directly by the metafile's records, so that one block holds everything
// and the clipboard frees it whole.
struct METAFILEPICT {
  LONG mm;
  LONG xExt;  // hundredths of a millimetre in the isotropic and anisotropic modes
  LONG yExt;
  HMETAFILE hMF;
};

// One window (or none: null) at a time; opening again from the same
// window succeeds, from another fails with ERROR_ACCESS_DENIED.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Needs the clipboard open; the opener becomes the owner.
BOOL EmptyClipboard();
// Needs the clipboard open. data is an HGLOBAL, or an HBITMAP for
// CF_BITMAP; null (rendering on request) is not supported and fails.
// Answers data.
HANDLE SetClipboardData(UINT format, HANDLE data);
// Needs the clipboard open; null when the format is not available.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
// Needs the clipboard open: the format after 'format' (0: the first), 0 at
// the end (last error 0).
UINT EnumClipboardFormats(UINT format);
int CountClipboardFormats();
// The same name (any case) answers the same number, from 0xC000 up.
UINT RegisterClipboardFormatA(LPCSTR name);
inline UINT RegisterClipboardFormat(LPCSTR name) { return RegisterClipboardFormatA(name); }
int GetClipboardFormatNameA(UINT format, LPSTR buffer, int size);
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();

namespace detail {
// Closes the clipboard and frees the handles it holds.
void ResetClipboard();
}  // namespace detail

}  // namespace win
