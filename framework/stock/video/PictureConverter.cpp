#include "PictureConverter.h"

extern "C"
{
#include <libswscale/swscale.h>
}

PictureConverter::~PictureConverter()
{
    Close();
}

void PictureConverter::Close()
{
    sws_freeContext(m_pSws);
    m_pSws = nullptr;
}

bool PictureConverter::Convert(const AVFrame& frame, uint8_t* pTarget, int width, int height,
                               int cbStride)
{
    if (frame.width <= 0 || frame.height <= 0)
        return false;
    m_pSws =
        sws_getCachedContext(m_pSws, frame.width, frame.height, AVPixelFormat(frame.format), width,
                             height, AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_pSws)
        return false;
    uint8_t* const planes[4] = {pTarget, nullptr, nullptr, nullptr};
    const int strides[4] = {cbStride, 0, 0, 0};
    return sws_scale(m_pSws, frame.data, frame.linesize, 0, frame.height, planes, strides) ==
           height;
}
