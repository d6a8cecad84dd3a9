#include "AppSettings.h"

#include <algorithm>
#include <cctype>

PlaybackKind PlaybackKindOf(const std::string& fileName)
{
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos)
        return PlaybackKind::Mpeg;
    const std::string extension = fileName.substr(dot + 1);
    const bool bC3s = std::ranges::equal(extension, std::string("c3s"),
                                         [](unsigned char a, unsigned char b)
                                         { return std::tolower(a) == b; });
    return bC3s ? PlaybackKind::C3S : PlaybackKind::Mpeg;
}
