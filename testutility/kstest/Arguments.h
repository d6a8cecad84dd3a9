#pragma once

// A command's arguments: options are taken out by name ("--name value" or
// "--name=value", flags "--name"), and what is left are the operands.

#include <optional>
#include <string>
#include <vector>

class Arguments
{
public:
    explicit Arguments(std::vector<std::string> args) : m_Args(std::move(args)) {}

    bool TakeFlag(const std::string& name);
    // Empty when absent; *pbMissingValue when the option came without a value.
    std::optional<std::string> TakeOption(const std::string& name, bool* pbMissingValue);
    // The operands, or nothing when an unknown option is left (named in *pUnknown).
    std::optional<std::vector<std::string>> Operands(std::string* pUnknown) const;

private:
    std::vector<std::string> m_Args;
};

// A whole non-negative decimal number, or nothing.
std::optional<long long> ParseCount(const std::string& text);
