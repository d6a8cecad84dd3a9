#pragma once
// Queries over pins and their connections that the graph manager and the capture
// graph builder share.

#include "com/ComPtr.h"
#include "dshow/Filters.h"

#include <vector>

namespace graph
{

using FilterList = std::vector<ComPtr<IBaseFilter>>;

/// The filter's pins in enumeration order (empty when it cannot enumerate).
std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter);
/// PINDIR_INPUT when the pin cannot tell.
PIN_DIRECTION DirectionOf(IPin* pin);
/// The connected pin, or null.
ComPtr<IPin> PeerOf(IPin* pin);
/// The filter that owns the pin, or null.
ComPtr<IBaseFilter> OwnerOf(IPin* pin);

/// Filters connected to the output pins (or input pins) of filter.
FilterList NeighboursOf(IBaseFilter* filter, PIN_DIRECTION side);

/// The filters ordered so that each comes before every filter upstream of it
/// (renderers first, sources last); the order in which state changes are made.
FilterList DownstreamFirst(const FilterList& filters);

/// True when `to` can be reached from `from` by following output connections.
bool IsDownstreamOf(IBaseFilter* to, IBaseFilter* from);

/// A renderer says so through IAMFilterMiscFlags, or has a connected input pin
/// and no output pin.
bool IsRenderer(IBaseFilter* filter);

} // namespace graph
