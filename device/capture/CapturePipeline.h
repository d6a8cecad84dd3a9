#pragma once
// The capture source as FFmpeg's libraries make it:
//
//   TestPattern | SourceFile picture -> PictureAdjustment -> VideoEncoder --+
//                                                                           +-> ProgramStreamMuxer
//                                                                           -> sink
//   tone | SourceFile sound          -> VolumeStage       -> LpcmEncoder  --+
//
// Each frame encodes one picture and the sound of the same span: frame n carries the
// samples from n * rate / frame rate up to (n + 1) * rate / frame rate, cut into
// packets of at most 400 samples (longer LPCM packets overrun the program stream's
// audio buffer). A failure is kept: every later call reports it again.
//
// EncodeNextFrame, SkipFrame and Finish run on one thread at a time; UpdateSettings and
// FramesEncoded may be called from any thread. Settings passed to UpdateSettings wait
// for the next frame; a group of them that CheckCaptureSettings refuses is ignored.

#include "CaptureSource.h"
#include "GeneratedSound.h"
#include "LpcmEncoder.h"
#include "PictureAdjustment.h"
#include "ProgramStreamMuxer.h"
#include "SourceFile.h"
#include "TestPattern.h"
#include "VideoEncoder.h"
#include "VolumeStage.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

class CapturePipeline : public CaptureSource
{
public:
    CapturePipeline(const CaptureSettings& settings, const VideoStandard& standard, ByteSink sink);

    bool Open(std::string* pError);

    bool EncodeNextFrame(std::string* pError) override;
    bool Finish(std::string* pError) override;
    std::int32_t FrameRateNumerator() const override { return m_Standard.rateNum; }
    std::int32_t FrameRateDenominator() const override { return m_Standard.rateDen; }
    std::int64_t FramesEncoded() const override { return m_nFramesEncoded; }
    void SkipFrame() override;
    void UpdateSettings(const CaptureSettings& settings) override;

private:
    bool OpenContent(std::string* pError);
    // Runs a step unless an earlier one failed; keeps the first failure.
    template <class Step> bool Run(Step step, std::string* pError);
    bool ApplyPendingSettings(std::string* pError);
    bool EncodeFrame(std::string* pError);
    bool EncodeSound(std::int64_t firstSample, int nSamples, std::string* pError);
    bool SkipContent(std::string* pError);
    // Samples of stream time before frame number `frame`.
    std::int64_t SamplesBefore(std::int64_t frame) const;

    const VideoStandard& m_Standard;
    CaptureSettings m_Settings; // as applied
    std::mutex m_PendingLock;
    std::optional<CaptureSettings> m_Pending;

    std::unique_ptr<TestPattern> m_pPattern;
    std::unique_ptr<GeneratedSound> m_pTone;
    std::unique_ptr<SourceFile> m_pFile;
    PictureSource* m_pPictures = nullptr;
    SoundSource* m_pSound = nullptr;
    PictureAdjustment m_Adjustment;
    VolumeStage m_Volume;
    VideoEncoder m_Video;
    LpcmEncoder m_Audio;
    ProgramStreamMuxer m_Muxer;

    ffmpeg::FramePtr m_pPicture = ffmpeg::AllocateFrame();
    ffmpeg::FramePtr m_pAdjusted = ffmpeg::AllocateFrame();
    ffmpeg::FramePtr m_pSoundFrame = ffmpeg::AllocateFrame();

    std::atomic<std::int64_t> m_nFramesEncoded = 0;
    std::int64_t m_nContentFrames = 0; // encoded and skipped
    std::optional<std::string> m_Failure;
    bool m_bFinished = false;
};
