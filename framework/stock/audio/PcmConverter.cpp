#include "PcmConverter.h"

extern "C"
{
#include <libswresample/swresample.h>
}

namespace
{
AVSampleFormat InterleavedFormatOfBits(int nBits)
{
    switch (nBits)
    {
    case 8:
        return AV_SAMPLE_FMT_U8;
    case 16:
        return AV_SAMPLE_FMT_S16;
    case 32:
        return AV_SAMPLE_FMT_S32;
    default:
        return AV_SAMPLE_FMT_NONE;
    }
}

// Mono to stereo: the one channel at full level on both sides (the library's
// default mix would lower it by 3 dB as a centre channel).
int SetMonoToStereoMatrix(SwrContext* pSwr)
{
    const double matrix[2] = {1.0, 1.0};
    return swr_set_matrix(pSwr, matrix, 1);
}
} // namespace

PcmConverter::~PcmConverter()
{
    Close();
}

void PcmConverter::Close()
{
    swr_free(&m_pSwr);
    av_channel_layout_uninit(&m_SourceLayout);
    m_SourceFormat = AV_SAMPLE_FMT_NONE;
    m_nSourceRate = 0;
}

bool PcmConverter::IsConfiguredFor(const AVChannelLayout& layout, AVSampleFormat sampleFormat,
                                   int nRate) const
{
    return m_pSwr && sampleFormat == m_SourceFormat && nRate == m_nSourceRate &&
           av_channel_layout_compare(&layout, &m_SourceLayout) == 0;
}

HRESULT PcmConverter::Configure(const PcmFormat& source, const PcmFormat& target)
{
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, source.nChannels);
    const HRESULT hr = Configure(layout, InterleavedFormatOfBits(source.nBitsPerSample),
                                 source.nSamplesPerSec, target);
    av_channel_layout_uninit(&layout);
    return hr;
}

HRESULT PcmConverter::Configure(const AVChannelLayout& layout, AVSampleFormat sampleFormat,
                                int nRate, const PcmFormat& target)
{
    Close();
    if (target.nBitsPerSample != 16)
        return E_INVALIDARG;
    AVChannelLayout targetLayout{};
    av_channel_layout_default(&targetLayout, target.nChannels);
    int err =
        swr_alloc_set_opts2(&m_pSwr, &targetLayout, AV_SAMPLE_FMT_S16, target.nSamplesPerSec,
                            const_cast<AVChannelLayout*>(&layout), sampleFormat, nRate, 0, nullptr);
    av_channel_layout_uninit(&targetLayout);
    if (err >= 0 && layout.nb_channels == 1 && target.nChannels == 2)
        err = SetMonoToStereoMatrix(m_pSwr);
    if (err >= 0)
        err = swr_init(m_pSwr);
    if (err >= 0)
        err = av_channel_layout_copy(&m_SourceLayout, &layout);
    if (err < 0)
    {
        Close();
        return E_INVALIDARG;
    }
    m_SourceFormat = sampleFormat;
    m_nSourceRate = nRate;
    m_Target = target;
    return S_OK;
}

HRESULT PcmConverter::Convert(const uint8_t* const* ppIn, int cSamples, std::span<const BYTE>* pOut)
{
    if (cSamples <= 0)
    {
        *pOut = {};
        return S_OK;
    }
    return Run(ppIn, cSamples, pOut);
}

HRESULT PcmConverter::Drain(std::span<const BYTE>* pOut)
{
    return Run(nullptr, 0, pOut);
}

HRESULT PcmConverter::Run(const uint8_t* const* ppIn, int cSamples, std::span<const BYTE>* pOut)
{
    *pOut = {};
    if (!m_pSwr)
        return E_UNEXPECTED;
    const int cMaxOut = swr_get_out_samples(m_pSwr, cSamples);
    if (cMaxOut < 0)
        return E_FAIL;
    const size_t cbNeeded = size_t(cMaxOut) * size_t(m_Target.BlockAlign());
    if (m_Output.size() < cbNeeded)
        m_Output.resize(cbNeeded);
    uint8_t* pTarget = m_Output.data();
    const int cOut =
        swr_convert(m_pSwr, &pTarget, cMaxOut, const_cast<const uint8_t**>(ppIn), cSamples);
    if (cOut < 0)
        return E_FAIL;
    *pOut = std::span<const BYTE>(m_Output.data(), size_t(cOut) * size_t(m_Target.BlockAlign()));
    return S_OK;
}

HRESULT PcmConverter::Reset()
{
    if (!m_pSwr)
        return S_OK;
    AVChannelLayout layout{};
    av_channel_layout_copy(&layout, &m_SourceLayout);
    const HRESULT hr = Configure(layout, m_SourceFormat, m_nSourceRate, m_Target);
    av_channel_layout_uninit(&layout);
    return hr;
}
