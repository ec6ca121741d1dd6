#pragma once
// Bitmap drawing for the owner-drawn buttons: a constant-alpha blend, a colour painted
// through a monochrome mask, an image without its transparent colour, the embossed disabled
// look, 32-bit pixels of a bitmap and a soft shadow. Each image context holds its image at
// (0, 0); each operation releases what it creates, and a failed step leaves the destination
// as it was.

#include <windows.h>

#include <cstdint>
#include <vector>

// A 32-bit bitmap, its pixels cleared.
HBITMAP Create32BitBitmap(int width, int height);

// Blends the source rectangle onto the destination rectangle (stretching when their sizes
// differ) at `alpha`, limited to 0-255.
void AlphaBlendRect(int alpha, HDC destination, const RECT& destinationRect, HDC source, const RECT& sourceRect);

// Paints `color` onto the destination at (x, y) wherever the monochrome mask is black. The
// destination's text colour is left black and its background colour white.
void PaintBrushThroughMask(HDC destination, HDC mask, COLORREF color, int x, int y, int width, int height);

// Draws the image at (x, y), leaving the destination where the image has `transparent`.
void DrawTransparentBitmap(HDC destination, HDC image, COLORREF transparent, int x, int y, int width, int height);

// Draws the image's shape embossed in the system's 3-D highlight and shadow colours.
void DrawDisabledBitmap(HDC destination, HDC image, COLORREF transparent, int x, int y, int width, int height);

// Reads the bitmap as 32-bit pixels, bottom-up rows, into `bits`; fills `header` for them.
// Returns the row length in 32-bit words, or 0 (and an empty `bits`) on failure, including
// a non-positive size.
int GetBitmapBits32(HDC dc, HBITMAP bitmap, int width, int height, BITMAPINFOHEADER* header,
                    std::vector<std::uint32_t>* bits);

// Darkens the destination under and around the image's shape with a soft shadow: the caller
// passes the image's position less one pixel each way, so the shadow falls one pixel right
// of and below the image.
void DrawShadowBitmap(HDC destination, HDC image, COLORREF transparent, int x, int y, int width, int height);
