#include "ConversionGraph.h"

StartResult ConversionGraph::Start()
{
    m_Settings.convertMode = 1;
    StartResult result = m_Playback.Start(false, false);
    m_Settings.convertMode = 0;
    return result;
}
