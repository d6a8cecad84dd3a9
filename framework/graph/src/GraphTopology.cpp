#include "GraphTopology.h"

#include <algorithm>
#include <set>

namespace graph
{

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter)
{
    std::vector<ComPtr<IPin>> pins;
    ComPtr<IEnumPins> pinEnum;
    if (!filter || FAILED(filter->EnumPins(&pinEnum)) || !pinEnum)
        return pins;
    ComPtr<IPin> pin;
    while (pinEnum->Next(1, &pin, nullptr) == S_OK)
        pins.push_back(std::move(pin));
    return pins;
}

PIN_DIRECTION DirectionOf(IPin* pin)
{
    PIN_DIRECTION direction = PINDIR_INPUT;
    if (pin)
        pin->QueryDirection(&direction);
    return direction;
}

ComPtr<IPin> PeerOf(IPin* pin)
{
    ComPtr<IPin> peer;
    if (pin && FAILED(pin->ConnectedTo(&peer)))
        peer.Reset();
    return peer;
}

ComPtr<IBaseFilter> OwnerOf(IPin* pin)
{
    PIN_INFO info{};
    if (!pin || FAILED(pin->QueryPinInfo(&info)))
        return nullptr;
    ComPtr<IBaseFilter> owner;
    owner.Attach(info.pFilter);
    return owner;
}

FilterList NeighboursOf(IBaseFilter* filter, PIN_DIRECTION side)
{
    FilterList neighbours;
    for (const ComPtr<IPin>& pin : PinsOf(filter))
    {
        if (DirectionOf(pin.Get()) != side)
            continue;
        if (ComPtr<IPin> peer = PeerOf(pin.Get()))
            if (ComPtr<IBaseFilter> owner = OwnerOf(peer.Get()))
                neighbours.push_back(std::move(owner));
    }
    return neighbours;
}

namespace
{

/// Depth-first walk downstream that appends a filter after everything below it.
void AppendAfterDownstream(IBaseFilter* filter, const std::set<IBaseFilter*>& members,
                           std::set<IBaseFilter*>& visited, FilterList& order)
{
    if (!visited.insert(filter).second)
        return;
    for (const ComPtr<IBaseFilter>& next : NeighboursOf(filter, PINDIR_OUTPUT))
        if (members.contains(next.Get()))
            AppendAfterDownstream(next.Get(), members, visited, order);
    order.emplace_back(filter);
}

} // namespace

FilterList DownstreamFirst(const FilterList& filters)
{
    std::set<IBaseFilter*> members;
    for (const ComPtr<IBaseFilter>& filter : filters)
        members.insert(filter.Get());
    std::set<IBaseFilter*> visited;
    FilterList order;
    for (const ComPtr<IBaseFilter>& filter : filters)
        AppendAfterDownstream(filter.Get(), members, visited, order);
    return order;
}

bool IsDownstreamOf(IBaseFilter* to, IBaseFilter* from)
{
    std::set<IBaseFilter*> visited;
    std::vector<ComPtr<IBaseFilter>> pending{ComPtr<IBaseFilter>(from)};
    while (!pending.empty())
    {
        ComPtr<IBaseFilter> current = std::move(pending.back());
        pending.pop_back();
        if (current.Get() == to)
            return true;
        if (!visited.insert(current.Get()).second)
            continue;
        for (ComPtr<IBaseFilter>& next : NeighboursOf(current.Get(), PINDIR_OUTPUT))
            pending.push_back(std::move(next));
    }
    return false;
}

bool IsRenderer(IBaseFilter* filter)
{
    ComPtr<IAMFilterMiscFlags> flags;
    if (SUCCEEDED(filter->QueryInterface(IID_PPV_ARGS(&flags))) &&
        (flags->GetMiscFlags() & AM_FILTER_MISC_FLAGS_IS_RENDERER))
        return true;
    bool connectedInput = false;
    for (const ComPtr<IPin>& pin : PinsOf(filter))
    {
        if (DirectionOf(pin.Get()) == PINDIR_OUTPUT)
            return false;
        connectedInput = connectedInput || PeerOf(pin.Get());
    }
    return connectedInput;
}

} // namespace graph
