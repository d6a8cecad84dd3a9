#pragma once
// Text (command lines, paths, messages) joined from its parts at its final size.
// GCC 12 at -O2 and above reports out-of-bounds copies inside the temporaries of an
// operator+ chain of std::string, a false positive of that compiler that -Werror turns
// into a failed build, so the tests join their command lines here instead.

#include <initializer_list>
#include <string>
#include <string_view>

inline std::string JoinedText(std::initializer_list<std::string_view> parts)
{
    std::size_t size = 0;
    for (std::string_view part : parts)
        size += part.size();
    std::string text;
    text.reserve(size);
    for (std::string_view part : parts)
        text.append(part);
    return text;
}
