#pragma once

// Uncompressed 32-bit pictures as the decoder hands them to the renderer
// (MEDIASUBTYPE_RGB32 with a VIDEOINFOHEADER): bytes B, G, R, X, rows of
// width * 4 bytes, top row first when biHeight is negative (as the decoder
// offers them), bottom row first when it is positive.

#include "streams.h"

struct Rgb32Format
{
    LONG width = 0;
    LONG height = 0;
    bool bTopDown = true;
    REFERENCE_TIME avgTimePerFrame = 0;

    LONG Stride() const { return width * 4; }
    LONG ImageSize() const { return Stride() * height; }

    // Reads an RGB32 video type; false for any other type or a bad format block.
    static bool FromMediaType(const CMediaType& mt, Rgb32Format* pFormat);
    HRESULT ToMediaType(CMediaType* pmt) const;
};
