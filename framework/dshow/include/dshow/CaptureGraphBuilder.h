#pragma once
// ICaptureGraphBuilder2: helper for building capture graphs. The control-stream,
// capture-file allocation and file-copy methods of the SDK interface are left out.

#include "com/Unknown.h"
#include "dshow/FileInterfaces.h"
#include "dshow/Filters.h"
#include "dshow/Uuids.h"

struct ICaptureGraphBuilder2 : IUnknown
{
    virtual HRESULT SetFiltergraph(IGraphBuilder* pfg) = 0;
    virtual HRESULT GetFiltergraph(IGraphBuilder** ppfg) = 0;
    virtual HRESULT SetOutputFileName(const GUID* pType, LPCOLESTR lpstrFile, IBaseFilter** ppf,
                                      IFileSinkFilter** ppSink) = 0;
    /// Looks for riid on pf, then on the filters downstream and upstream of it (or
    /// only one way with LOOK_UPSTREAM_ONLY / LOOK_DOWNSTREAM_ONLY as pCategory).
    /// With a pin category: pf itself, then its output pins of that major type and
    /// what lies downstream of them.
    virtual HRESULT FindInterface(const GUID* pCategory, const GUID* pType, IBaseFilter* pf,
                                  REFIID riid, void** ppint) = 0;
    virtual HRESULT RenderStream(const GUID* pCategory, const GUID* pType, IUnknown* pSource,
                                 IBaseFilter* pfCompressor, IBaseFilter* pfRenderer) = 0;
    /// The num-th (0-based) pin of pSource matching direction, category and type.
    virtual HRESULT FindPin(IUnknown* pSource, PIN_DIRECTION pindir, const GUID* pCategory,
                            const GUID* pType, BOOL fUnconnected, int num, IPin** ppPin) = 0;

protected:
    ~ICaptureGraphBuilder2() = default;
};
DECLARE_INTERFACE_IID(ICaptureGraphBuilder2, IID_ICaptureGraphBuilder2);
