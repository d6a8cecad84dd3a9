// The audio decoder and the ACM wrapper between a push source and a sink.

#include "MediaFiles.h"
#include "TestFilters.h"
#include "audio/AcmWrapperFilter.h"
#include "audio/AudioDecoderFilter.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
CMediaType WaveType(const GUID& subtype, WORD tag, int rate, int channels, int bits)
{
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Audio);
    mt.SetSubtype(&subtype);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    auto* pWave = reinterpret_cast<WAVEFORMATEX*>(mt.AllocFormatBuffer(sizeof(WAVEFORMATEX)));
    pWave->wFormatTag = tag;
    pWave->nChannels = WORD(channels);
    pWave->nSamplesPerSec = DWORD(rate);
    pWave->wBitsPerSample = WORD(bits);
    pWave->nBlockAlign = WORD(bits ? channels * bits / 8 : 1);
    pWave->nAvgBytesPerSec = DWORD(rate) * pWave->nBlockAlign;
    return mt;
}

// One second of a 1 kHz tone at 40% of full scale, 16-bit little-endian.
std::vector<uint8_t> Tone(int rate, int channels)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < rate; ++i)
    {
        const auto value = int16_t(std::lround(13107.0 * std::sin(2 * M_PI * 1000.0 * i / rate)));
        for (int c = 0; c < channels; ++c)
        {
            bytes.push_back(uint8_t(value & 0xFF));
            bytes.push_back(uint8_t((value >> 8) & 0xFF));
        }
    }
    return bytes;
}

std::vector<int16_t> Samples16(const std::vector<uint8_t>& bytes)
{
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return samples;
}

// source -> filter -> sink, paused; pushes the bytes in pieces of cbPiece.
struct TransformGraph
{
    HRESULT hr = S_OK;
    CTestPushSource* pSource;
    CPcmTransformFilter* pFilter;
    CTestSink* pSink = new CTestSink(&hr);
    ComPtr<IBaseFilter> holders[3];

    TransformGraph(const CMediaType& mtIn, CPcmTransformFilter* pTransform)
        : pSource(new CTestPushSource(mtIn, 65536, &hr)),
          pFilter(pTransform), holders{pSource, pFilter, pSink}
    {
    }
    ~TransformGraph()
    {
        for (auto& holder : holders)
            holder->Stop();
        for (auto& holder : holders)
            DisconnectAll(holder.Get());
    }
    HRESULT Connect()
    {
        HRESULT hrConnect = ConnectPins(pSource->Pin(), pFilter->InputPin());
        if (SUCCEEDED(hrConnect))
            hrConnect = ConnectPins(pFilter->OutputPin(), pSink->Pin());
        return hrConnect;
    }
    void Stream(const std::vector<uint8_t>& bytes, size_t cbPiece)
    {
        for (int i = 2; i >= 0; --i)
            ASSERT_EQ(S_OK, holders[i]->Pause());
        for (size_t offset = 0; offset < bytes.size(); offset += cbPiece)
        {
            const REFERENCE_TIME tStart = 0;
            ASSERT_EQ(S_OK,
                      pSource->Push(bytes.data() + offset, std::min(cbPiece, bytes.size() - offset),
                                    offset == 0 ? &tStart : nullptr));
        }
        ASSERT_EQ(S_OK, pSource->PushEndOfStream());
        ASSERT_TRUE(pSink->HasEnded());
    }
};

CPcmTransformFilter* NewAcmWrapper()
{
    HRESULT hr = S_OK;
    return new CAcmWrapperFilter(nullptr, &hr);
}

CPcmTransformFilter* NewDecoder()
{
    HRESULT hr = S_OK;
    return new CAudioDecoderFilter(nullptr, &hr);
}
} // namespace

TEST(AcmWrapper, OffersStereo48kFirstAndCopiesMonoToBothSides)
{
    TransformGraph g(WaveType(MEDIASUBTYPE_PCM, WAVE_FORMAT_PCM, 44100, 1, 16), NewAcmWrapper());
    ASSERT_EQ(S_OK, g.Connect());
    PcmFormat out;
    ASSERT_TRUE(PcmFormat::FromMediaType(g.pSink->ConnectionType(), &out));
    EXPECT_EQ((PcmFormat{48000, 2, 16}), out);

    const std::vector<uint8_t> tone = Tone(44100, 1);
    g.Stream(tone, 4410 * 2 + 6);

    const std::vector<int16_t> pcm = Samples16(g.pSink->Bytes());
    ASSERT_NEAR(48000.0, pcm.size() / 2.0, 48.0);
    int peak = 0;
    for (size_t i = 0; i + 1 < pcm.size(); i += 2)
    {
        ASSERT_EQ(pcm[i], pcm[i + 1]);
        peak = std::max(peak, std::abs(int(pcm[i])));
    }
    EXPECT_NEAR(13107, peak, 200); // resampled, not attenuated

    // Times run on without gaps from the first input time.
    const auto samples = g.pSink->Samples();
    EXPECT_EQ(0, samples.front().tStart);
    EXPECT_TRUE(samples.front().bDiscontinuity);
    for (size_t i = 1; i < samples.size(); ++i)
        EXPECT_EQ(samples[i - 1].tStop, samples[i].tStart);
}

TEST(AcmWrapper, Stereo48kPassesUnchanged)
{
    TransformGraph g(WaveType(MEDIASUBTYPE_PCM, WAVE_FORMAT_PCM, 48000, 2, 16), NewAcmWrapper());
    ASSERT_EQ(S_OK, g.Connect());
    const std::vector<uint8_t> tone = Tone(48000, 2);
    g.Stream(tone, 3000);
    EXPECT_EQ(tone, g.pSink->Bytes());
}

TEST(AcmWrapper, RefusesWhatIsNotPlainPcm)
{
    HRESULT hr = S_OK;
    CAcmWrapperFilter acm(nullptr, &hr);
    CMediaType mp2 = WaveType(MEDIASUBTYPE_MPEG1Payload, WAVE_FORMAT_MPEG, 48000, 2, 0);
    CMediaType pcm24 = WaveType(MEDIASUBTYPE_PCM, WAVE_FORMAT_PCM, 48000, 2, 24);
    EXPECT_NE(S_OK, acm.CheckInputType(&mp2));
    EXPECT_NE(S_OK, acm.CheckInputType(&pcm24));
}

TEST(AudioDecoder, DecodesMpegAudioSplitAnywhereLikeFfmpeg)
{
    const std::string clip =
        media::Clip("tone.mp2", "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=1 "
                                "-ac 2 -c:a mp2 -b:a 192k -f mp2");
    ASSERT_FALSE(clip.empty());
    const std::vector<uint8_t> reference = media::CaptureOutput(
        "ffmpeg -nostdin -loglevel error -i " + media::Quote(clip) + " -f s16le -");

    TransformGraph g(WaveType(MEDIASUBTYPE_MPEG1Payload, WAVE_FORMAT_MPEG, 48000, 2, 0),
                     NewDecoder());
    ASSERT_EQ(S_OK, g.Connect());
    PcmFormat out;
    ASSERT_TRUE(PcmFormat::FromMediaType(g.pSink->ConnectionType(), &out));
    EXPECT_EQ((PcmFormat{48000, 2, 16}), out);
    g.Stream(media::ReadFile(clip), 1000); // frames are 576 bytes
    EXPECT_EQ(reference, g.pSink->Bytes());
}

TEST(AudioDecoder, SwapsLpcmEvenWhenFramesAreSplit)
{
    std::vector<uint8_t> bigEndian;
    for (int i = 0; i < 4000; ++i)
        bigEndian.push_back(uint8_t(i * 7 + i / 256));
    TransformGraph g(WaveType(MEDIASUBTYPE_DVD_LPCM_AUDIO, 0, 48000, 2, 16), NewDecoder());
    ASSERT_EQ(S_OK, g.Connect());
    g.Stream(bigEndian, 1001);

    std::vector<uint8_t> expected = bigEndian;
    for (size_t i = 0; i + 1 < expected.size(); i += 2)
        std::swap(expected[i], expected[i + 1]);
    EXPECT_EQ(expected, g.pSink->Bytes());
}

TEST(AudioDecoder, TakesOnlyWhatItCanDecode)
{
    HRESULT hr = S_OK;
    CAudioDecoderFilter decoder(nullptr, &hr);
    CMediaType ac3 = WaveType(MEDIASUBTYPE_DOLBY_AC3, 0x2000, 48000, 6, 0);
    CMediaType lpcm24 = WaveType(MEDIASUBTYPE_DVD_LPCM_AUDIO, 0, 48000, 2, 24);
    CMediaType pcm = WaveType(MEDIASUBTYPE_PCM, WAVE_FORMAT_PCM, 48000, 2, 16);
    EXPECT_EQ(S_OK, decoder.CheckInputType(&ac3));
    EXPECT_NE(S_OK, decoder.CheckInputType(&lpcm24));
    EXPECT_NE(S_OK, decoder.CheckInputType(&pcm));

    CMediaType out;
    ASSERT_EQ(S_OK, decoder.GetOutputType(ac3, 0, &out));
    PcmFormat format;
    ASSERT_TRUE(PcmFormat::FromMediaType(out, &format));
    EXPECT_EQ(2, format.nChannels); // surround is mixed down to stereo
}
