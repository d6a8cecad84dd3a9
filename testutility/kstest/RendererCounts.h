#pragma once

// What a preview's video renderer counted (IQualProp), as a line for the user; empty
// without a renderer.

#include <dshow/dshow.h>

#include <string>

std::string DescribeRendererCounts(IBaseFilter* pVideoRenderer);
