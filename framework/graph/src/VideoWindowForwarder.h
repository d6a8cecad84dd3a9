#pragma once
// The graph manager's IVideoWindow: every call goes to the video renderer in the
// graph at the time of the call (the first filter that answers IVideoWindow), or
// fails with E_NOINTERFACE when there is none. Its IUnknown is the graph's.

#include "com/ComPtr.h"
#include "dshow/VideoWindow.h"

#include <functional>

namespace graph
{

class VideoWindowForwarder final : public IVideoWindow
{
public:
    using RendererFinder = std::function<ComPtr<IVideoWindow>()>;

    VideoWindowForwarder(IUnknown& outer, RendererFinder findRenderer)
        : m_outer(outer), m_findRenderer(std::move(findRenderer))
    {
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        return m_outer.QueryInterface(riid, ppv);
    }
    ULONG AddRef() override { return m_outer.AddRef(); }
    ULONG Release() override { return m_outer.Release(); }

    HRESULT put_Caption(BSTR strCaption) override;
    HRESULT get_Caption(BSTR* strCaption) override;
    HRESULT put_WindowStyle(LONG WindowStyle) override;
    HRESULT get_WindowStyle(LONG* WindowStyle) override;
    HRESULT put_AutoShow(LONG AutoShow) override;
    HRESULT get_AutoShow(LONG* AutoShow) override;
    HRESULT put_Visible(LONG Visible) override;
    HRESULT get_Visible(LONG* pVisible) override;
    HRESULT put_Owner(OAHWND Owner) override;
    HRESULT get_Owner(OAHWND* Owner) override;
    HRESULT SetWindowPosition(LONG Left, LONG Top, LONG Width, LONG Height) override;
    HRESULT GetWindowPosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) override;
    HRESULT GetVideoSize(LONG* pWidth, LONG* pHeight) override;

private:
    template <class Call> HRESULT Forward(Call call);

    IUnknown& m_outer;
    const RendererFinder m_findRenderer;
};

} // namespace graph
