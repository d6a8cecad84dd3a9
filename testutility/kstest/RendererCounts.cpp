#include "RendererCounts.h"

#include <cstdio>

std::string DescribeRendererCounts(IBaseFilter* pVideoRenderer)
{
    ComPtr<IQualProp> pQuality;
    if (!pVideoRenderer || FAILED(pVideoRenderer->QueryInterface(IID_PPV_ARGS(&pQuality))))
        return {};
    int drawn = 0;
    int dropped = 0;
    int syncOffset = 0;
    pQuality->get_FramesDrawn(&drawn);
    pQuality->get_FramesDroppedInRenderer(&dropped);
    pQuality->get_AvgSyncOffset(&syncOffset);
    char line[128];
    std::snprintf(line, sizeof(line),
                  "preview: %d pictures drawn, %d dropped, average sync offset %d ms", drawn,
                  dropped, syncOffset);
    return line;
}
