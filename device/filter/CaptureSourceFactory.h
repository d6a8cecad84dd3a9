#pragma once
// How the capture pin makes its source: CaptureSource::Create in the module, a
// stand-in in the tests.

#include "CaptureSource.h"

#include <functional>
#include <memory>
#include <string>

using CaptureSourceFactory = std::function<std::unique_ptr<CaptureSource>(
    const CaptureSettings& settings, CaptureSource::ByteSink sink, std::string* pError)>;
