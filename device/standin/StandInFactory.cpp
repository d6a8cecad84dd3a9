// The module's capture source until the encoding pipeline is linked in its place:
// program stream packs that carry no pictures or sound (PackStandInSource).

#include "PackStandInSource.h"

std::unique_ptr<CaptureSource> CaptureSource::Create(const CaptureSettings& settings, ByteSink sink,
                                                     std::string*)
{
    return std::make_unique<PackStandInSource>(settings, std::move(sink));
}
