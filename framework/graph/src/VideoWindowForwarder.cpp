#include "VideoWindowForwarder.h"

namespace graph
{

template <class Call> HRESULT VideoWindowForwarder::Forward(Call call)
{
    ComPtr<IVideoWindow> renderer = m_findRenderer();
    return renderer ? call(renderer.Get()) : E_NOINTERFACE;
}

HRESULT VideoWindowForwarder::put_Caption(BSTR strCaption)
{
    return Forward([&](IVideoWindow* w) { return w->put_Caption(strCaption); });
}

HRESULT VideoWindowForwarder::get_Caption(BSTR* strCaption)
{
    return Forward([&](IVideoWindow* w) { return w->get_Caption(strCaption); });
}

HRESULT VideoWindowForwarder::put_WindowStyle(LONG WindowStyle)
{
    return Forward([&](IVideoWindow* w) { return w->put_WindowStyle(WindowStyle); });
}

HRESULT VideoWindowForwarder::get_WindowStyle(LONG* WindowStyle)
{
    return Forward([&](IVideoWindow* w) { return w->get_WindowStyle(WindowStyle); });
}

HRESULT VideoWindowForwarder::put_AutoShow(LONG AutoShow)
{
    return Forward([&](IVideoWindow* w) { return w->put_AutoShow(AutoShow); });
}

HRESULT VideoWindowForwarder::get_AutoShow(LONG* AutoShow)
{
    return Forward([&](IVideoWindow* w) { return w->get_AutoShow(AutoShow); });
}

HRESULT VideoWindowForwarder::put_Visible(LONG Visible)
{
    return Forward([&](IVideoWindow* w) { return w->put_Visible(Visible); });
}

HRESULT VideoWindowForwarder::get_Visible(LONG* pVisible)
{
    return Forward([&](IVideoWindow* w) { return w->get_Visible(pVisible); });
}

HRESULT VideoWindowForwarder::put_Owner(OAHWND Owner)
{
    return Forward([&](IVideoWindow* w) { return w->put_Owner(Owner); });
}

HRESULT VideoWindowForwarder::get_Owner(OAHWND* Owner)
{
    return Forward([&](IVideoWindow* w) { return w->get_Owner(Owner); });
}

HRESULT VideoWindowForwarder::SetWindowPosition(LONG Left, LONG Top, LONG Width, LONG Height)
{
    return Forward([&](IVideoWindow* w) { return w->SetWindowPosition(Left, Top, Width, Height); });
}

HRESULT VideoWindowForwarder::GetWindowPosition(LONG* pLeft, LONG* pTop, LONG* pWidth,
                                                LONG* pHeight)
{
    return Forward([&](IVideoWindow* w)
                   { return w->GetWindowPosition(pLeft, pTop, pWidth, pHeight); });
}

HRESULT VideoWindowForwarder::GetVideoSize(LONG* pWidth, LONG* pHeight)
{
    return Forward([&](IVideoWindow* w) { return w->GetVideoSize(pWidth, pHeight); });
}

} // namespace graph
