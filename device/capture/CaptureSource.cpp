#include "CaptureSource.h"

#include "CaptureLimits.h"
#include "CapturePipeline.h"

#include <exception>

bool NeedsRestart(const CaptureSettings& running, const CaptureSettings& wanted)
{
    return running.width != wanted.width || running.height != wanted.height ||
           running.standard != wanted.standard || running.mpeg1 != wanted.mpeg1 ||
           running.sampleRate != wanted.sampleRate || running.sourceFile != wanted.sourceFile;
}

std::unique_ptr<CaptureSource> CaptureSource::Create(const CaptureSettings& settings, ByteSink sink,
                                                     std::string* pError)
{
    ffmpeg::SilenceLog();
    const std::string problem = CheckCaptureSettings(settings);
    if (!problem.empty())
    {
        ffmpeg::Fail(pError, problem);
        return nullptr;
    }
    try
    {
        auto pSource = std::make_unique<CapturePipeline>(
            settings, *FindVideoStandard(settings.standard), std::move(sink));
        if (!pSource->Open(pError))
            return nullptr;
        return pSource;
    }
    catch (const std::exception& e)
    {
        ffmpeg::Fail(pError, std::string("cannot build the capture source: ") + e.what());
        return nullptr;
    }
}
