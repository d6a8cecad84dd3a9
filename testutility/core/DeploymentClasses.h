#pragma once

// The class identifiers the utility creates the operating system's filters by.
// The MPEG splitter and the audio decoder are deployment choices; on this
// platform they are the stock filters registered under the platform's own
// identifiers for them.

#include <dshow/dshow.h>

inline constexpr const GUID& kClsidMpegSplitter = CLSID_MPEG1Splitter;
inline constexpr const GUID& kClsidAudioDecoder = CLSID_CMpegAudioCodec;
