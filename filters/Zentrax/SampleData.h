#pragma once

#include "streams.h"

#include <cstddef>

// The data of a received sample. False when the sample's pointer or lengths make no sense, so
// that a broken sample is never read out of bounds.
bool GetSampleData(IMediaSample* pSample, const BYTE** ppData, std::size_t* pcbData);
