#pragma once
// The text form in which a device keeps its settings and counters in the registry:
// "name=value" pairs of decimal integers separated by spaces, e.g.
// "standard=1 width=720 height=480". Unknown names are kept but ignored by readers,
// so a newer device can add values without breaking an older one.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class KeyValueText
{
public:
    KeyValueText() = default;
    // Pairs that are not "name=integer" are skipped.
    explicit KeyValueText(std::string_view text);

    void Set(std::string_view name, std::int64_t value);
    std::optional<std::int64_t> Get(std::string_view name) const;
    // The pairs in the order they were first set or read.
    std::string Format() const;

private:
    std::vector<std::pair<std::string, std::int64_t>> m_entries;
};
