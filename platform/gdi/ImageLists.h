// Image lists: equally sized images with masks in one list, drawn
// normally, transparently, as their mask, blended, or in the embossed
// disabled look.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace win {

ORV_DECLARE_HANDLE(HIMAGELIST)

constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLORDDB = 0x00FE;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;

constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_MASK = 0x0010;
constexpr UINT ILD_BLEND25 = 0x0002;
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_BLEND50 = 0x0004;
constexpr UINT ILD_SELECTED = ILD_BLEND50;
constexpr UINT ILD_BLEND = ILD_BLEND50;

constexpr COLORREF CLR_DEFAULT = 0xFF000000;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST himl);
// Adds the images of a bitmap (as many as its width holds, left to right)
// with a monochrome mask (1 = transparent) or none. Answers the index of
// the first image added, or -1.
int ImageList_Add(HIMAGELIST himl, HBITMAP image, HBITMAP mask);
// Same, with the mask made from the pixels of one colour. The bitmap is
// left as it is.
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP image, COLORREF maskColor);
BOOL ImageList_Replace(HIMAGELIST himl, int index, HBITMAP image, HBITMAP mask);
// Removes one image (the later ones move down), or all with -1.
BOOL ImageList_Remove(HIMAGELIST himl, int index);
inline BOOL ImageList_RemoveAll(HIMAGELIST himl) { return ImageList_Remove(himl, -1); }
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST himl);

BOOL ImageList_Draw(HIMAGELIST himl, int index, HDC hdc, int x, int y, UINT style);
// dx, dy: the part drawn from the image's corner (0 = all of it). bk: the
// colour behind transparent pixels (CLR_NONE: left alone; CLR_DEFAULT: the
// list's background colour). fg: the blend colour (CLR_DEFAULT: the
// highlight colour).
BOOL ImageList_DrawEx(HIMAGELIST himl, int index, HDC hdc, int x, int y, int dx, int dy, COLORREF bk,
                      COLORREF fg, UINT style);
// The disabled look: the image's shape in the button highlight colour one
// pixel down and right, then in the button shadow colour in place.
BOOL ImageList_DrawDisabled(HIMAGELIST himl, int index, HDC hdc, int x, int y);

// Test hook: image lists alive now.
int ImageListLiveCount();

}  // namespace win
