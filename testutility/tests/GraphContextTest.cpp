// ConnectFilters in a real filter graph, with the Infinite Pin Tee and test filters.

#include "GraphContext.h"
#include "TestFilters.h"
#include "tee/InfTeeFilter.h"

#include <com/ComRuntime.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
const GUID kTestSubtype = {
    0x7d11e2a0, 0x2222, 0x4d4d, {0x8b, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07}};

CMediaType StreamType()
{
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Stream);
    mt.SetSubtype(&kTestSubtype);
    return mt;
}

class SilentReport : public UserReport
{
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void Diagnostic(const std::string& line) override { messages.push_back(line); }
    std::vector<std::string> messages;
};

// A sink with two input pins that take anything.
class CTwoInputSink : public CBaseFilter
{
public:
    explicit CTwoInputSink(HRESULT* phr)
        : CBaseFilter(NAME("Two-input sink"), nullptr, &m_csFilter, GUID_NULL),
          m_Pins{{this, &m_csFilter, phr, L"In1"}, {this, &m_csFilter, phr, L"In2"}}
    {
    }
    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override { return n >= 0 && n < 2 ? &m_Pins[n] : nullptr; }
    bool IsConnected(int n) const { return m_Pins[n].IsConnected(); }

private:
    class CPin : public CBaseInputPin
    {
    public:
        CPin(CTwoInputSink* pSink, CCritSec* pLock, HRESULT* phr, LPCWSTR pName)
            : CBaseInputPin(NAME("Two-input sink pin"), pSink, pLock, phr, pName)
        {
        }
        HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
    };

    CCritSec m_csFilter;
    CPin m_Pins[2];
};

class GraphContextTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(S_OK, m_Context.CreateGraph());
    }
    void TearDown() override
    {
        for (IBaseFilter* pFilter : m_Added)
            m_Context.Graph()->RemoveFilter(pFilter);
        m_Added.clear();
        m_Holders.clear();
        CoUninitialize();
    }
    IBaseFilter* Add(IBaseFilter* pFilter, LPCWSTR pName)
    {
        m_Holders.emplace_back(pFilter);
        EXPECT_TRUE(SUCCEEDED(m_Context.Graph()->AddFilter(pFilter, pName)));
        m_Added.push_back(pFilter);
        return pFilter;
    }

    SilentReport m_Report;
    GraphContext m_Context{m_Report};
    std::vector<ComPtr<IBaseFilter>> m_Holders;
    std::vector<IBaseFilter*> m_Added;
    HRESULT m_hr = S_OK;
};
} // namespace

TEST_F(GraphContextTest, EachCallJoinsTheNextFreePair)
{
    IBaseFilter* pSource = Add(new CTestPushSource(StreamType(), 64, &m_hr), L"Source");
    auto* pTee = new CInfTeeFilter(nullptr, &m_hr);
    Add(pTee, L"Infinite Tee");
    auto* pSink = new CTwoInputSink(&m_hr);
    Add(pSink, L"Sink");

    ASSERT_EQ(S_OK, m_Context.ConnectFilters(pSource, pTee));
    ASSERT_EQ(S_OK, m_Context.ConnectFilters(pTee, pSink));
    EXPECT_TRUE(pTee->OutputPin(0)->IsConnected());
    EXPECT_TRUE(pSink->IsConnected(0));
    EXPECT_FALSE(pSink->IsConnected(1));

    ASSERT_EQ(S_OK, m_Context.ConnectFilters(pTee, pSink));
    EXPECT_TRUE(pTee->OutputPin(1)->IsConnected());
    EXPECT_TRUE(pSink->IsConnected(1));

    EXPECT_EQ(E_FAIL, m_Context.ConnectFilters(pTee, pSink)); // no free input left
}

TEST_F(GraphContextTest, FailsWhenNoFreePairTakesTheType)
{
    IBaseFilter* pSource = Add(new CTestPushSource(StreamType(), 64, &m_hr), L"Source");
    auto* pSink = new CTestSink(&m_hr, [](const CMediaType&) { return false; });
    Add(pSink, L"Picky");
    EXPECT_EQ(E_FAIL, m_Context.ConnectFilters(pSource, pSink));
    IPin* pPeer = nullptr;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, pSink->Pin()->ConnectedTo(&pPeer));
    EXPECT_TRUE(m_Report.messages.empty());
}

TEST_F(GraphContextTest, OutputFileReplacesAFileButNeverADirectory)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("graphcontext-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = dir / "old.c3s";
    std::ofstream(file) << "stale";

    // Without a writer the name cannot be given, but the old file is gone all the same.
    EXPECT_EQ(E_POINTER, m_Context.SetOutputFile(file.string()));
    EXPECT_FALSE(std::filesystem::exists(file));

    const std::filesystem::path emptyDir = dir / "target.c3s";
    std::filesystem::create_directory(emptyDir);
    m_Context.SetOutputFile(emptyDir.string());
    EXPECT_TRUE(std::filesystem::is_directory(emptyDir));
    std::filesystem::remove_all(dir);
}
