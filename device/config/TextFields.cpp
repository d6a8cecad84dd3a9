#include "TextFields.h"

#include <charconv>

std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t min, std::int64_t max)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < min ||
        value > max)
        return std::nullopt;
    return value;
}

std::optional<std::uint32_t> ParseCode(std::string_view text)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::vector<std::string_view> SplitFields(std::string_view text, std::string_view separators)
{
    std::vector<std::string_view> fields;
    while (!text.empty())
    {
        const std::size_t end = text.find_first_of(separators);
        if (end != 0)
            fields.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return fields;
}
