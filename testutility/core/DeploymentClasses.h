#pragma once

// The class identifiers the utility creates the operating system's filters by.
// The MPEG splitter, the decoders and the asynchronous puller are deployment
// choices; on this platform they are the stock filters registered under the
// platform's own identifiers for them (the puller, which has none, under one of
// the stock module's).

#include <dshow/dshow.h>

inline constexpr const GUID& kClsidMpegSplitter = CLSID_MPEG1Splitter;
inline constexpr const GUID& kClsidAudioDecoder = CLSID_CMpegAudioCodec;
inline constexpr const GUID& kClsidVideoDecoder = CLSID_CMpegVideoCodec;
inline constexpr const GUID& kClsidAsyncPuller = CLSID_AsyncPuller;
