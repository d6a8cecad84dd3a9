#include "PackStandInSource.h"

#include <algorithm>

namespace
{
constexpr std::uint8_t kPackStart[] = {0x00, 0x00, 0x01, 0xBA};
constexpr std::uint8_t kPaddingStart[] = {0x00, 0x00, 0x01, 0xBE};
constexpr std::uint8_t kEndCode[] = {0x00, 0x00, 0x01, 0xB9};
constexpr std::size_t kPackHeaderSize = 14;
constexpr std::size_t kPaddingHeaderSize = 6;
constexpr std::uint64_t kTicksPerSecond = 90000;

bool IsPal(std::int32_t standard)
{
    return standard != 1;
}
} // namespace

PackStandInSource::PackStandInSource(const CaptureSettings& settings, ByteSink sink)
    : m_settings(settings), m_sink(std::move(sink)), m_pack(kPackSize, 0xFF)
{
    std::copy(std::begin(kPaddingStart), std::end(kPaddingStart), m_pack.begin() + kPackHeaderSize);
    const std::size_t cbPadding = kPackSize - kPackHeaderSize - kPaddingHeaderSize;
    m_pack[kPackHeaderSize + 4] = static_cast<std::uint8_t>(cbPadding >> 8);
    m_pack[kPackHeaderSize + 5] = static_cast<std::uint8_t>(cbPadding & 0xFF);
}

std::int32_t PackStandInSource::FrameRateNumerator() const
{
    return IsPal(m_settings.standard) ? 25 : 30000;
}

std::int32_t PackStandInSource::FrameRateDenominator() const
{
    return IsPal(m_settings.standard) ? 1 : 1001;
}

std::size_t PackStandInSource::PacksPerFrame() const
{
    const std::uint64_t cbPerFrame = std::uint64_t(std::max(m_settings.bitRate, 8)) / 8 *
                                     std::uint64_t(FrameRateDenominator()) /
                                     std::uint64_t(FrameRateNumerator());
    return std::max<std::size_t>(1, (cbPerFrame + kPackSize - 1) / kPackSize);
}

bool PackStandInSource::EncodeNextFrame(std::string* pError)
{
    const std::uint64_t scr = std::uint64_t(m_nFrames) * kTicksPerSecond *
                              std::uint64_t(FrameRateDenominator()) /
                              std::uint64_t(FrameRateNumerator());
    ++m_nFrames;
    for (std::size_t i = PacksPerFrame(); i > 0; --i)
    {
        WritePack(scr);
        if (!m_sink(m_pack.data(), m_pack.size()))
        {
            if (pError)
                *pError = "the sink refused the stream";
            return false;
        }
    }
    return true;
}

bool PackStandInSource::Finish(std::string* pError)
{
    if (m_sink(kEndCode, sizeof kEndCode))
        return true;
    if (pError)
        *pError = "the sink refused the stream";
    return false;
}

void PackStandInSource::UpdateSettings(const CaptureSettings& settings)
{
    const CaptureSettings kept = m_settings;
    m_settings = settings;
    // What cannot change inside a stream stays until the next run.
    m_settings.standard = kept.standard;
    m_settings.width = kept.width;
    m_settings.height = kept.height;
    m_settings.mpeg1 = kept.mpeg1;
    m_settings.sampleRate = kept.sampleRate;
    m_settings.sourceFile = kept.sourceFile;
}

// An MPEG-2 pack header: SCR base (33 bits, extension 0) and the mux rate in units
// of 50 bytes per second, with their marker bits.
void PackStandInSource::WritePack(std::uint64_t scr)
{
    const std::uint32_t muxRate =
        std::max<std::uint32_t>(1, std::uint32_t(std::max(m_settings.bitRate, 0)) / 400);
    std::uint8_t* p = m_pack.data();
    std::copy(std::begin(kPackStart), std::end(kPackStart), p);
    p[4] = static_cast<std::uint8_t>(0x44 | ((scr >> 27) & 0x38) | ((scr >> 28) & 0x03));
    p[5] = static_cast<std::uint8_t>(scr >> 20);
    p[6] = static_cast<std::uint8_t>(0x04 | ((scr >> 12) & 0xF8) | ((scr >> 13) & 0x03));
    p[7] = static_cast<std::uint8_t>(scr >> 5);
    p[8] = static_cast<std::uint8_t>(0x04 | ((scr << 3) & 0xF8));
    p[9] = 0x01;
    p[10] = static_cast<std::uint8_t>(muxRate >> 14);
    p[11] = static_cast<std::uint8_t>(muxRate >> 6);
    p[12] = static_cast<std::uint8_t>(((muxRate << 2) & 0xFC) | 0x03);
    p[13] = 0xF8;
}
