#include "KeyValueText.h"

#include <algorithm>
#include <charconv>

namespace
{
std::optional<std::pair<std::string_view, std::int64_t>> ParsePair(std::string_view pair)
{
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return std::nullopt;
    const std::string_view digits = pair.substr(equals + 1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return std::pair{pair.substr(0, equals), value};
}
} // namespace

KeyValueText::KeyValueText(std::string_view text)
{
    while (!text.empty())
    {
        const std::size_t space = text.find(' ');
        const std::string_view pair = text.substr(0, space);
        if (const auto parsed = ParsePair(pair))
            Set(parsed->first, parsed->second);
        text.remove_prefix(space == std::string_view::npos ? text.size() : space + 1);
    }
}

void KeyValueText::Set(std::string_view name, std::int64_t value)
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [name](const auto& entry) { return entry.first == name; });
    if (found != m_entries.end())
        found->second = value;
    else
        m_entries.emplace_back(std::string(name), value);
}

std::optional<std::int64_t> KeyValueText::Get(std::string_view name) const
{
    for (const auto& [entryName, value] : m_entries)
    {
        if (entryName == name)
            return value;
    }
    return std::nullopt;
}

std::string KeyValueText::Format() const
{
    std::string text;
    for (const auto& [name, value] : m_entries)
    {
        if (!text.empty())
            text += ' ';
        text += name + '=' + std::to_string(value);
    }
    return text;
}
