#include "GraphFixture.h"

#include <atomic>
#include <thread>

using namespace graphtest;

namespace
{

class GraphEventsTest : public GraphFixture
{
protected:
    /// source -> tee -> two renderers, running.
    void BuildAndRun()
    {
        m_source = Add("source", 0, 1);
        m_tee = Add("tee", 1, 2);
        m_first = Add("first", 1, 0);
        m_second = Add("second", 1, 0);
        Join(m_source.Get(), 0, m_tee.Get(), 0);
        Join(m_tee.Get(), 0, m_first.Get(), 0);
        Join(m_tee.Get(), 1, m_second.Get(), 0);
        ASSERT_EQ(m_control->Run(), S_OK);
    }

    /// The next queued event's code, or 0 when none is queued.
    LONG NextEventCode()
    {
        LONG code = 0;
        LONG_PTR p1 = 0;
        LONG_PTR p2 = 0;
        if (m_events->GetEvent(&code, &p1, &p2, 0) != S_OK)
            return 0;
        m_events->FreeEventParams(code, p1, p2);
        return code;
    }

    ComPtr<TestFilter> m_source;
    ComPtr<TestFilter> m_tee;
    ComPtr<TestFilter> m_first;
    ComPtr<TestFilter> m_second;
};

} // namespace

TEST_F(GraphEventsTest, CompleteOnlyAfterEveryRenderer)
{
    BuildAndRun();
    EXPECT_EQ(m_first->Report(EC_COMPLETE), S_OK);
    EXPECT_EQ(m_first->Report(EC_COMPLETE), S_OK); // the same renderer twice counts once
    EXPECT_EQ(NextEventCode(), 0);
    EXPECT_EQ(m_second->Report(EC_COMPLETE), S_OK);
    EXPECT_EQ(NextEventCode(), EC_COMPLETE);
    EXPECT_EQ(NextEventCode(), 0);

    // A new run from Stopped counts again.
    ASSERT_EQ(m_control->Stop(), S_OK);
    m_second->Report(EC_COMPLETE); // stale report while stopped: ignored
    ASSERT_EQ(m_control->Run(), S_OK);
    m_first->Report(EC_COMPLETE);
    EXPECT_EQ(NextEventCode(), 0);
    m_second->Report(EC_COMPLETE);
    EXPECT_EQ(NextEventCode(), EC_COMPLETE);
}

TEST_F(GraphEventsTest, OtherEventsPassInOrderWithTheirParameters)
{
    BuildAndRun();
    m_source->Report(EC_ERRORABORT, E_FAIL);
    m_tee->Report(EC_USER + 7, 42);
    LONG code = 0;
    LONG_PTR p1 = 0;
    LONG_PTR p2 = 0;
    ASSERT_EQ(m_events->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);
    EXPECT_EQ(p1, E_FAIL);
    ASSERT_EQ(m_events->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_EQ(code, EC_USER + 7);
    EXPECT_EQ(p1, 42);
    EXPECT_EQ(m_events->GetEvent(&code, &p1, &p2, 0), E_ABORT);
}

TEST_F(GraphEventsTest, CancelledDefaultHandlingPassesEachCompletion)
{
    BuildAndRun();
    ASSERT_EQ(m_events->CancelDefaultHandling(EC_COMPLETE), S_OK);
    m_first->Report(EC_COMPLETE);
    EXPECT_EQ(NextEventCode(), EC_COMPLETE);
    ASSERT_EQ(m_events->RestoreDefaultHandling(EC_COMPLETE), S_OK);
    EXPECT_EQ(m_events->CancelDefaultHandling(EC_REPAINT), E_INVALIDARG);
}

TEST_F(GraphEventsTest, NotificationCallbackAndNoNotifyFlag)
{
    BuildAndRun();
    std::atomic<int> notified{0};
    ASSERT_EQ(m_events->SetNotifyCallback([&] { ++notified; }), S_OK);
    m_source->Report(EC_PAUSED);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(NextEventCode(), EC_PAUSED);

    ASSERT_EQ(m_events->SetNotifyFlags(AM_MEDIAEVENT_NONOTIFY), S_OK);
    m_source->Report(EC_PAUSED);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(NextEventCode(), 0);
    EXPECT_EQ(m_events->SetNotifyFlags(0x10), E_INVALIDARG);
}

TEST_F(GraphEventsTest, QueueStaysBoundedAndKeepsTheEnding)
{
    BuildAndRun();
    for (int i = 0; i < 5000; ++i)
        m_source->Report(EC_USER);
    m_first->Report(EC_COMPLETE);
    m_second->Report(EC_COMPLETE);
    int count = 0;
    LONG last = 0;
    for (LONG code; (code = NextEventCode()) != 0; ++count)
        last = code;
    EXPECT_LE(count, 1024);
    EXPECT_EQ(last, EC_COMPLETE);
}

TEST_F(GraphEventsTest, WaitForCompletionNeedsARunningGraph)
{
    LONG code = -1;
    EXPECT_EQ(m_events->WaitForCompletion(LONG(INFINITE), &code), VFW_E_WRONG_STATE);
    BuildAndRun();
    EXPECT_EQ(m_events->WaitForCompletion(0, &code), E_ABORT);
    EXPECT_EQ(code, 0);
}

TEST_F(GraphEventsTest, WaitForCompletionReturnsWhenRenderersFinishOnTheirThreads)
{
    BuildAndRun();
    std::thread first(
        [&]
        {
            m_first->Report(EC_USER); // dropped by the wait
            m_first->Report(EC_COMPLETE);
        });
    std::thread second([&] { m_second->Report(EC_COMPLETE); });
    LONG code = 0;
    EXPECT_EQ(m_events->WaitForCompletion(LONG(INFINITE), &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    first.join();
    second.join();
}

TEST_F(GraphEventsTest, StopReleasesAWaitingThread)
{
    BuildAndRun();
    HRESULT waited = S_OK;
    std::thread waiter(
        [&]
        {
            LONG code = 0;
            waited = m_events->WaitForCompletion(LONG(INFINITE), &code);
        });
    ASSERT_EQ(m_control->Stop(), S_OK);
    waiter.join();
    EXPECT_EQ(waited, VFW_E_WRONG_STATE);
}

TEST_F(GraphEventsTest, ConcurrentReportsWhileRunningAndStopping)
{
    BuildAndRun();
    std::atomic<bool> done{false};
    std::thread reporter(
        [&]
        {
            while (!done)
                m_first->Report(EC_USER);
        });
    for (int i = 0; i < 50; ++i)
    {
        ASSERT_EQ(m_control->Stop(), S_OK);
        ASSERT_EQ(m_control->Run(), S_OK);
        NextEventCode();
    }
    done = true;
    reporter.join();
}
