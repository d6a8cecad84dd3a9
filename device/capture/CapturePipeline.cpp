#include "CapturePipeline.h"

#include "CaptureLimits.h"

#include <exception>

namespace
{
// Longest LPCM packet in samples: 1600 bytes of 16-bit stereo.
constexpr int kMaxAudioPacketSamples = 400;

// The program stream's rate: the highest video rate the device may switch to while
// running, its LPCM and 5 % for the packs' and packets' headers.
std::int64_t MuxRate(std::uint32_t sampleRate)
{
    const std::int64_t lpcmRate = std::int64_t(sampleRate) * 2 * 16;
    return (CaptureLimits::kMaxBitRate + lpcmRate) * 21 / 20;
}
} // namespace

CapturePipeline::CapturePipeline(const CaptureSettings& settings, const VideoStandard& standard,
                                 ByteSink sink)
    : m_Standard(standard), m_Settings(settings), m_Volume(settings.sampleRate),
      m_Video(settings, standard), m_Audio(settings.sampleRate), m_Muxer(std::move(sink))
{
}

bool CapturePipeline::Open(std::string* pError)
{
    m_Adjustment.Configure(m_Settings);
    m_Volume.Configure(m_Settings);
    m_Audio.SetByteSwap(m_Settings.byteSwap);
    return OpenContent(pError) && m_pPictures->SelectInput(m_Settings.input, pError) &&
           m_Video.Open(pError) && m_Audio.Open(pError) &&
           m_Muxer.Open(m_Video.Context(), m_Audio.Context(), MuxRate(m_Settings.sampleRate),
                        pError);
}

bool CapturePipeline::OpenContent(std::string* pError)
{
    if (!m_Settings.sourceFile.empty())
    {
        m_pFile = std::make_unique<SourceFile>(m_Standard, m_Settings.sampleRate);
        m_pPictures = m_pFile.get();
        m_pSound = m_pFile.get();
        return m_pFile->Open(m_Settings.sourceFile, pError);
    }
    m_pPattern = std::make_unique<TestPattern>(m_Standard, m_Settings.deviceName);
    m_pTone = std::make_unique<GeneratedSound>(GeneratedSound::Kind::Tone, m_Settings.sampleRate);
    m_pPictures = m_pPattern.get();
    m_pSound = m_pTone.get();
    return true;
}

template <class Step> bool CapturePipeline::Run(Step step, std::string* pError)
{
    if (m_bFinished && !m_Failure)
        return ffmpeg::Fail(pError, "the capture source has finished");
    if (!m_Failure)
    {
        std::string error;
        try
        {
            if (step(&error))
                return true;
        }
        catch (const std::exception& e)
        {
            error = std::string("the capture source failed: ") + e.what();
        }
        m_Failure = error.empty() ? std::string("the capture source failed") : error;
    }
    return ffmpeg::Fail(pError, *m_Failure);
}

bool CapturePipeline::EncodeNextFrame(std::string* pError)
{
    return Run([this](std::string* pStepError) { return EncodeFrame(pStepError); }, pError);
}

void CapturePipeline::SkipFrame()
{
    Run([this](std::string* pStepError) { return SkipContent(pStepError); }, nullptr);
}

bool CapturePipeline::Finish(std::string* pError)
{
    if (m_bFinished)
        return m_Failure ? ffmpeg::Fail(pError, *m_Failure) : true;
    m_bFinished = true;
    // After a failed frame the muxer still holds whole packets only, so the stream is
    // ended properly all the same; the earlier failure is still reported.
    std::string error;
    const bool finished = m_Video.Drain(m_Muxer, &error) && m_Muxer.Finish(&error);
    if (!m_Failure && !finished)
        m_Failure = error;
    return m_Failure ? ffmpeg::Fail(pError, *m_Failure) : true;
}

void CapturePipeline::UpdateSettings(const CaptureSettings& settings)
{
    std::lock_guard lock(m_PendingLock);
    m_Pending = settings;
}

bool CapturePipeline::ApplyPendingSettings(std::string* pError)
{
    std::optional<CaptureSettings> pending;
    {
        std::lock_guard lock(m_PendingLock);
        pending.swap(m_Pending);
    }
    if (!pending)
        return true;
    CaptureSettings& s = m_Settings;
    if (CheckPicture(*pending).empty())
    {
        s.brightness = pending->brightness;
        s.contrast = pending->contrast;
        s.hue = pending->hue;
        s.saturation = pending->saturation;
        s.sharpness = pending->sharpness;
        s.adjustPicture = pending->adjustPicture;
        s.input = pending->input;
    }
    if (CheckSound(*pending).empty())
    {
        s.volume = pending->volume;
        s.mute = pending->mute;
        s.byteSwap = pending->byteSwap;
    }
    if (CheckBitRates(*pending).empty())
    {
        s.bitRate = pending->bitRate;
        s.peakBitRate = pending->peakBitRate;
        s.vbr = pending->vbr;
    }
    m_Adjustment.Configure(s);
    m_Volume.Configure(s);
    m_Audio.SetByteSwap(s.byteSwap);
    m_Video.SetBitRates(s);
    return m_pPictures->SelectInput(s.input, pError);
}

std::int64_t CapturePipeline::SamplesBefore(std::int64_t frame) const
{
    return frame * m_Settings.sampleRate * m_Standard.rateDen / m_Standard.rateNum;
}

bool CapturePipeline::EncodeFrame(std::string* pError)
{
    const std::int64_t frame = m_nFramesEncoded;
    const std::int64_t firstSample = SamplesBefore(frame);
    const int nSamples = int(SamplesBefore(frame + 1) - firstSample);
    const bool encoded = ApplyPendingSettings(pError) &&
                         m_pPictures->Next(m_pPicture.get(), pError) &&
                         m_Adjustment.Process(m_pPicture.get(), m_pAdjusted.get(), pError) &&
                         m_Video.Encode(m_pAdjusted.get(), frame, m_Muxer, pError) &&
                         EncodeSound(firstSample, nSamples, pError) && m_Muxer.Flush(pError);
    av_frame_unref(m_pPicture.get());
    av_frame_unref(m_pAdjusted.get());
    if (!encoded)
        return false;
    ++m_nContentFrames;
    ++m_nFramesEncoded;
    return true;
}

bool CapturePipeline::EncodeSound(std::int64_t firstSample, int nSamples, std::string* pError)
{
    if (!m_pSound->Next(m_pSoundFrame.get(), nSamples, pError) ||
        !m_Volume.Push(m_pSoundFrame.get(), pError))
        return false;
    const int nPackets = (nSamples + kMaxAudioPacketSamples - 1) / kMaxAudioPacketSamples;
    for (int i = 0, done = 0; i < nPackets; ++i)
    {
        const int end = nSamples * (i + 1) / nPackets;
        if (!m_Volume.Pull(m_pSoundFrame.get(), end - done, pError))
            return false;
        m_pSoundFrame->pts = firstSample + done;
        const bool encoded = m_Audio.Encode(m_pSoundFrame.get(), m_Muxer, pError);
        av_frame_unref(m_pSoundFrame.get());
        if (!encoded)
            return false;
        done = end;
    }
    return true;
}

bool CapturePipeline::SkipContent(std::string* pError)
{
    const std::int64_t frame = m_nContentFrames;
    const int nSamples = int(SamplesBefore(frame + 1) - SamplesBefore(frame));
    const bool skipped = ApplyPendingSettings(pError) &&
                         m_pPictures->Next(m_pPicture.get(), pError) &&
                         m_pSound->Next(m_pSoundFrame.get(), nSamples, pError);
    av_frame_unref(m_pPicture.get());
    av_frame_unref(m_pSoundFrame.get());
    if (skipped)
        ++m_nContentFrames;
    return skipped;
}
