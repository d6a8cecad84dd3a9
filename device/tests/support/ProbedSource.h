#pragma once
// The stand-in capture source with a probe the tests read: the settings each
// source was made with and updated to, the frames it encoded, and a failure it
// can be told to have.

#include "CaptureSourceFactory.h"
#include "PackStandInSource.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

struct SourceProbe
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<CaptureSettings> created;
    std::vector<CaptureSettings> updates;
    std::atomic<std::int64_t> framesEncoded{0};
    std::atomic<int> finishes{0};
    std::int64_t failAtFrame = -1; // EncodeNextFrame fails from this frame on
    bool bFailCreate = false;      // no source can be made

    // Waits up to `timeout` for an update that satisfies `match`.
    bool WaitForUpdate(const std::function<bool(const CaptureSettings&)>& match,
                       std::chrono::milliseconds timeout);
    // Waits up to `timeout` until at least `frames` frames were encoded.
    bool WaitForFrames(std::int64_t frames, std::chrono::milliseconds timeout);
    CaptureSettings LastCreated();
};

CaptureSourceFactory ProbedFactory(std::shared_ptr<SourceProbe> probe);
