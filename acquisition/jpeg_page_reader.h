#pragma once
// JPEG files to packed bitmaps. Neutral interface: no library or Windows types, so the winelib
// side can call it.

#include "packed_dib.h"

// Decodes the JPEG file `fileName` into a new packed bitmap owned by the caller: 8 bits per
// pixel with a grey palette for grey files, 24 bits (blue, green, red) for colour and CMYK
// files. 0 when the file cannot be opened or decoded before the bitmap exists, or when the
// image is of an unsupported kind or too large; a decoding error after that gives the bitmap
// as far as it was filled.
PackedDib LoadJpegFileAsDib(const char* fileName);
