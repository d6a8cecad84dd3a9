#pragma once
// The capture graph builder: holds a graph and finds interfaces and pins around a
// filter. Pin categories cannot be told apart (pins have no property sets here),
// so a category restricts nothing beyond the output direction. RenderStream and
// SetOutputFileName are not offered: the system builds its graphs pin by pin.

#include "com/ComObject.h"
#include "dshow/CaptureGraphBuilder.h"

namespace graph
{

class CaptureGraphBuilder final : public ComObject<ICaptureGraphBuilder2>
{
public:
    /// E_UNEXPECTED when a graph was given before.
    HRESULT SetFiltergraph(IGraphBuilder* pfg) override;
    /// Creates a graph when none was given.
    HRESULT GetFiltergraph(IGraphBuilder** ppfg) override;
    HRESULT SetOutputFileName(const GUID* pType, LPCOLESTR lpstrFile, IBaseFilter** ppf,
                              IFileSinkFilter** ppSink) override;
    HRESULT FindInterface(const GUID* pCategory, const GUID* pType, IBaseFilter* pf, REFIID riid,
                          void** ppint) override;
    HRESULT RenderStream(const GUID* pCategory, const GUID* pType, IUnknown* pSource,
                         IBaseFilter* pfCompressor, IBaseFilter* pfRenderer) override;
    HRESULT FindPin(IUnknown* pSource, PIN_DIRECTION pindir, const GUID* pCategory,
                    const GUID* pType, BOOL fUnconnected, int num, IPin** ppPin) override;

private:
    ComPtr<IGraphBuilder> m_graph;
};

} // namespace graph
