#pragma once

// Converts decoded pictures to 32-bit B, G, R, X pixels of a fixed size with
// libswscale, straight into the caller's buffer. The scaling context is kept
// while the source size and format stay the same.

#include <cstdint>

extern "C"
{
#include <libavutil/frame.h>
}

struct SwsContext;

class PictureConverter
{
public:
    PictureConverter() = default;
    ~PictureConverter();
    PictureConverter(const PictureConverter&) = delete;
    PictureConverter& operator=(const PictureConverter&) = delete;

    // Writes width x height pixels, rows of cbStride bytes, top row first; false
    // when the picture cannot be converted.
    bool Convert(const AVFrame& frame, uint8_t* pTarget, int width, int height, int cbStride);
    void Close();

private:
    SwsContext* m_pSws = nullptr;
};
