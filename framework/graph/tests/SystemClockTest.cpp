#include "com/ComRuntime.h"
#include "dshow/dshow.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace
{

/// Counts signals and lets the test wait for a number of them.
class CountingSignal final : public IClockSignal
{
public:
    void Signal() override
    {
        // Notifying under the lock: a waiter may destroy this object once it wakes.
        std::lock_guard lock(m_mutex);
        ++m_count;
        m_changed.notify_all();
    }

    void WaitFor(int count)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_count >= count; });
    }

    int Count()
    {
        std::lock_guard lock(m_mutex);
        return m_count;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_count = 0;
};

class SystemClockTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_SystemClock, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&m_clock)),
                  S_OK);
    }
    void TearDown() override
    {
        m_clock.Reset();
        CoUninitialize();
    }

    REFERENCE_TIME Now()
    {
        REFERENCE_TIME now = 0;
        m_clock->GetTime(&now);
        return now;
    }

    ComPtr<IReferenceClock> m_clock;
};

} // namespace

TEST_F(SystemClockTest, TimeNeverGoesBack)
{
    REFERENCE_TIME previous = Now();
    for (int i = 0; i < 1000; ++i)
    {
        REFERENCE_TIME now = Now();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

TEST_F(SystemClockTest, OneShotAdviseSignalsOnceNotBeforeItsTime)
{
    CountingSignal signal;
    DWORD_PTR cookie = 0;
    REFERENCE_TIME base = Now();
    ASSERT_EQ(m_clock->AdviseTime(base, 20'000, &signal, &cookie), S_OK); // 2 ms
    signal.WaitFor(1);
    EXPECT_GE(Now(), base + 20'000);
    EXPECT_EQ(m_clock->Unadvise(cookie), S_FALSE); // already done
    EXPECT_EQ(signal.Count(), 1);
}

TEST_F(SystemClockTest, PeriodicAdviseRepeatsUntilUnadvised)
{
    CountingSignal signal;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(m_clock->AdvisePeriodic(Now(), 10'000, &signal, &cookie), S_OK); // every 1 ms
    signal.WaitFor(3);
    ASSERT_EQ(m_clock->Unadvise(cookie), S_OK);
    int afterUnadvise = signal.Count();
    // Another advise proves the clock thread went round at least once more.
    CountingSignal marker;
    DWORD_PTR markerCookie = 0;
    ASSERT_EQ(m_clock->AdviseTime(Now(), 20'000, &marker, &markerCookie), S_OK);
    marker.WaitFor(1);
    EXPECT_EQ(signal.Count(), afterUnadvise);
}

TEST_F(SystemClockTest, InvalidAdvisesAreRefused)
{
    CountingSignal signal;
    DWORD_PTR cookie = 0;
    EXPECT_EQ(m_clock->AdvisePeriodic(Now(), 0, &signal, &cookie), E_INVALIDARG);
    EXPECT_EQ(m_clock->AdviseTime(-1, 0, &signal, &cookie), E_INVALIDARG);
    EXPECT_EQ(m_clock->AdviseTime(Now(), 0, nullptr, &cookie), E_INVALIDARG);
    EXPECT_EQ(m_clock->AdviseTime(Now(), 0, &signal, nullptr), E_POINTER);
}

TEST_F(SystemClockTest, ReleasingTheClockWithPendingAdvisesStopsItsThread)
{
    CountingSignal signal;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(m_clock->AdviseTime(Now(), 10'000'000'000LL, &signal, &cookie), S_OK); // far away
    m_clock.Reset();
    EXPECT_EQ(signal.Count(), 0);
}
