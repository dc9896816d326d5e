// Skin pictures: PNG resources (type "PNG") and image files turned into opaque GDI bitmaps,
// with fully transparent pixels in the kit's key colour.
#pragma once
#include "framework/Handles.h"

// Pixels of exactly this colour are transparent everywhere in the skin.
constexpr COLORREF SKIN_KEY_COLOUR = RGB(255, 0, 255);

namespace Gdiplus { class GpBitmap; }

// Resource `id` of `module`: a BITMAP resource as it is, else the "PNG" resource converted
// with PngToKeyedBitmap. The caller owns the bitmap; null when there is no such resource.
HBITMAP LoadSkinImage(HINSTANCE module, UINT id);

// A decoded picture as an opaque bottom-up 32-bit section: opaque pixels as they are,
// transparent ones `key`, half-transparent ones blended onto white. Null for an empty picture.
HBITMAP PngToKeyedBitmap(Gdiplus::GpBitmap* image, COLORREF key);

// `frames` frames of equal width cut from `picture` into an image list (24-bit colour) with
// the key colour as mask. The picture is left as it is: the list is filled from a copy,
// because adding with a mask colour blackens the key-colour pixels of the bitmap it is given.
fw::UniqueImageList MakeKeyedImageList(HBITMAP picture, int frames);

// "PNG" resource `id` as it is, transparency included: a 32-bit section whose colours are
// multiplied by their alpha, as a layered window takes them. Reports the picture's size.
HBITMAP LoadAlphaImage(HINSTANCE module, UINT id, SIZE* size);

// Any picture file the decoder reads, drawn onto white at its natural size; reports its size.
HBITMAP LoadImageFile(const wchar_t* path, int* width, int* height);
