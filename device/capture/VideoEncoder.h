#pragma once
// The device's video encoder: MPEG-2 main profile at main level (MPEG-1 when asked),
// at the bit rate, constant or with the peak rate as the limit. It makes I- and
// P-pictures only: B-pictures would cost more processor time than the device may
// take and would delay every picture. Every GOP is closed, starts with a sequence
// header and is shorter than half a second, so a player can start at any of them.
//
// New bit rates cannot change inside an open encoder, so they wait for the next GOP:
// the encoder is drained and opened again there, its GOP time codes going on.

#include "CaptureSource.h"
#include "StreamEncoder.h"
#include "VideoStandard.h"

#include <cstdint>

class VideoEncoder
{
public:
    VideoEncoder(const CaptureSettings& settings, const VideoStandard& standard);

    bool Open(std::string* pError);
    const AVCodecContext& Context() const { return m_Encoder.Context(); }
    AVRational TimeBase() const { return {m_Standard.rateDen, m_Standard.rateNum}; }

    // Bit rates for the pictures from the next GOP on.
    void SetBitRates(const CaptureSettings& settings);

    // Encodes picture number frameNumber (its pts).
    bool Encode(AVFrame* pPicture, std::int64_t frameNumber, ProgramStreamMuxer& muxer,
                std::string* pError);
    // Writes what the encoder still holds; ends the encoder's use.
    bool Drain(ProgramStreamMuxer& muxer, std::string* pError);

private:
    struct Rates
    {
        std::int32_t bitRate = 0;
        std::int32_t peakBitRate = 0;
        bool vbr = false;
        bool operator==(const Rates&) const = default;
    };
    static Rates RatesOf(const CaptureSettings& settings);
    bool OpenAt(std::int64_t frameNumber, std::string* pError);
    void Setup(AVCodecContext& context, AVDictionary** ppOptions, std::int64_t frameNumber) const;

    const VideoStandard& m_Standard;
    const std::int32_t m_Width;
    const std::int32_t m_Height;
    const bool m_bMpeg1;
    Rates m_Rates;
    Rates m_WantedRates;
    StreamEncoder m_Encoder;
};
