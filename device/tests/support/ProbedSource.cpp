#include "ProbedSource.h"

#include <thread>

namespace
{
class ProbedSource : public PackStandInSource
{
public:
    ProbedSource(const CaptureSettings& settings, ByteSink sink, std::shared_ptr<SourceProbe> probe)
        : PackStandInSource(settings, std::move(sink)), m_probe(std::move(probe))
    {
    }

    bool EncodeNextFrame(std::string* pError) override
    {
        if (m_probe->failAtFrame >= 0 && FramesEncoded() >= m_probe->failAtFrame)
        {
            *pError = "the probe made it fail";
            return false;
        }
        const bool bEncoded = PackStandInSource::EncodeNextFrame(pError);
        if (bEncoded)
            ++m_probe->framesEncoded;
        return bEncoded;
    }

    bool Finish(std::string* pError) override
    {
        ++m_probe->finishes;
        return PackStandInSource::Finish(pError);
    }

    void UpdateSettings(const CaptureSettings& settings) override
    {
        PackStandInSource::UpdateSettings(settings);
        {
            std::lock_guard lock(m_probe->mutex);
            m_probe->updates.push_back(settings);
        }
        m_probe->changed.notify_all();
    }

private:
    std::shared_ptr<SourceProbe> m_probe;
};
} // namespace

bool SourceProbe::WaitForUpdate(const std::function<bool(const CaptureSettings&)>& match,
                                std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout,
                            [&]
                            {
                                for (const CaptureSettings& settings : updates)
                                    if (match(settings))
                                        return true;
                                return false;
                            });
}

bool SourceProbe::WaitForFrames(std::int64_t frames, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (framesEncoded < frames)
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

CaptureSettings SourceProbe::LastCreated()
{
    std::lock_guard lock(mutex);
    return created.empty() ? CaptureSettings() : created.back();
}

CaptureSourceFactory ProbedFactory(std::shared_ptr<SourceProbe> probe)
{
    return [probe](const CaptureSettings& settings, CaptureSource::ByteSink sink,
                   std::string* pError) -> std::unique_ptr<CaptureSource>
    {
        if (probe->bFailCreate)
        {
            *pError = "the probe made no source";
            return nullptr;
        }
        {
            std::lock_guard lock(probe->mutex);
            probe->created.push_back(settings);
        }
        return std::make_unique<ProbedSource>(settings, std::move(sink), probe);
    };
}
