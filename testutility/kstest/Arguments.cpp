#include "Arguments.h"

#include <algorithm>
#include <charconv>

bool Arguments::TakeFlag(const std::string& name)
{
    const auto found = std::ranges::find(m_Args, name);
    if (found == m_Args.end())
        return false;
    m_Args.erase(found);
    return true;
}

std::optional<std::string> Arguments::TakeOption(const std::string& name, bool* pbMissingValue)
{
    *pbMissingValue = false;
    for (auto it = m_Args.begin(); it != m_Args.end(); ++it)
    {
        if (it->rfind(name + "=", 0) == 0)
        {
            std::string value = it->substr(name.size() + 1);
            m_Args.erase(it);
            return value;
        }
        if (*it == name)
        {
            if (it + 1 == m_Args.end())
            {
                *pbMissingValue = true;
                m_Args.erase(it);
                return std::nullopt;
            }
            std::string value = *(it + 1);
            m_Args.erase(it, it + 2);
            return value;
        }
    }
    return std::nullopt;
}

std::optional<std::vector<std::string>> Arguments::Operands(std::string* pUnknown) const
{
    for (const std::string& arg : m_Args)
    {
        if (arg.size() > 1 && arg[0] == '-')
        {
            *pUnknown = arg;
            return std::nullopt;
        }
    }
    return m_Args;
}

std::optional<long long> ParseCount(const std::string& text)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}
