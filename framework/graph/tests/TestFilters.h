#pragma once
// Small filters written directly against the interfaces, for the graph tests:
// pins that connect with one fixed media type, and a filter that records every
// state change in a shared log and can report events to its graph.

#include "com/ComObject.h"
#include "dshow/dshow.h"

#include <mutex>
#include <string>
#include <vector>

namespace graphtest
{

/// Calls made on filters, in order, as "name:Call" entries.
class CallLog
{
public:
    void Add(std::string entry);
    std::vector<std::string> Entries();
    void Clear();

private:
    std::mutex m_mutex;
    std::vector<std::string> m_entries;
};

class TestFilter;

class TestPin final : public ComObject<IPin>
{
public:
    TestPin(TestFilter* owner, std::wstring name, PIN_DIRECTION direction);

    HRESULT Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) override;
    HRESULT ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) override;
    HRESULT Disconnect() override;
    HRESULT ConnectedTo(IPin** pPin) override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE* pmt) override;
    HRESULT QueryPinInfo(PIN_INFO* pInfo) override;
    HRESULT QueryDirection(PIN_DIRECTION* pPinDir) override;
    HRESULT QueryId(LPWSTR* Id) override;
    HRESULT QueryAccept(const AM_MEDIA_TYPE* pmt) override;
    HRESULT EnumMediaTypes(IEnumMediaTypes** ppEnum) override;
    HRESULT QueryInternalConnections(IPin** apPin, ULONG* nPin) override;
    HRESULT EndOfStream() override { return S_OK; }
    HRESULT BeginFlush() override { return S_OK; }
    HRESULT EndFlush() override { return S_OK; }
    HRESULT NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

    /// The one media type these pins use.
    static AM_MEDIA_TYPE Type();

private:
    TestFilter* m_owner;
    std::wstring m_name;
    PIN_DIRECTION m_direction;
    ComPtr<IPin> m_peer;
};

class TestFilter final : public ComObject<IBaseFilter>
{
public:
    TestFilter(std::string name, int inputs, int outputs, CallLog* log = nullptr);

    HRESULT GetClassID(CLSID* pClassID) override;
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME tStart) override;
    HRESULT GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) override;
    HRESULT SetSyncSource(IReferenceClock* pClock) override;
    HRESULT GetSyncSource(IReferenceClock** pClock) override;
    HRESULT EnumPins(IEnumPins** ppEnum) override;
    HRESULT FindPin(LPCWSTR Id, IPin** ppPin) override;
    HRESULT QueryFilterInfo(FILTER_INFO* pInfo) override;
    HRESULT JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) override;
    HRESULT QueryVendorInfo(LPWSTR* pVendorInfo) override;

    IPin* Input(int index = 0) { return m_inputs.at(index).Get(); }
    IPin* Output(int index = 0) { return m_outputs.at(index).Get(); }
    /// Reports an event to the graph as a streaming thread would.
    HRESULT Report(LONG code, LONG_PTR param1 = 0, bool nameSelf = true);

    CLSID m_classId = GUID_NULL;
    FILTER_STATE m_state = State_Stopped;
    REFERENCE_TIME m_runStart = -1;
    ComPtr<IReferenceClock> m_clock;
    IFilterGraph* m_graph = nullptr;
    std::wstring m_graphName;
    HRESULT m_pauseResult = S_OK;

private:
    std::vector<ComPtr<IPin>> AllPins();

    std::string m_name;
    CallLog* m_log;
    std::vector<ComPtr<TestPin>> m_inputs;
    std::vector<ComPtr<TestPin>> m_outputs;
};

} // namespace graphtest
