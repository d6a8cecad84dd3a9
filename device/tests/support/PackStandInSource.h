#pragma once
// A stand-in capture source: for each frame, as many whole 2048-byte MPEG-2
// program stream packs as the bit rate needs, each a pack header (its SCR at the
// frame's time) and a padding packet; Finish writes the program end code. It
// encodes nothing, so the capture pin's pacing, delivery and counters can be
// exercised quickly and exactly.

#include "CaptureSource.h"

#include <vector>

class PackStandInSource : public CaptureSource
{
public:
    static constexpr std::size_t kPackSize = 2048;

    PackStandInSource(const CaptureSettings& settings, ByteSink sink);

    bool EncodeNextFrame(std::string* pError) override;
    bool Finish(std::string* pError) override;
    std::int32_t FrameRateNumerator() const override;
    std::int32_t FrameRateDenominator() const override;
    std::int64_t FramesEncoded() const override { return m_nFrames; }
    void SkipFrame() override { ++m_nFrames; }
    void UpdateSettings(const CaptureSettings& settings) override;

    // Packs per frame at the current bit rate.
    std::size_t PacksPerFrame() const;

protected:
    const CaptureSettings& Settings() const { return m_settings; }

private:
    void WritePack(std::uint64_t scr);

    CaptureSettings m_settings;
    ByteSink m_sink;
    std::int64_t m_nFrames = 0;
    std::vector<std::uint8_t> m_pack;
};
