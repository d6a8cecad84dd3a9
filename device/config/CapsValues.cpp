#include "CapsValues.h"

#include "CaptureLimits.h"
#include "TextFields.h"

#include <algorithm>
#include <array>
#include <limits>

namespace
{
constexpr std::string_view kSeparators = " ,";
constexpr std::int64_t kMaxSide = 65535;
constexpr std::int64_t kMaxRate = 1000000;

enum class Kind
{
    Sizes,
    Rates,
    Range,
};

// One value: its name, its kind and which list or range of the caps it sets (for
// sizes 0 NTSC and 1 PAL; for ranges 0 bit rates, 1 volume, 2.. the amplifier).
struct Entry
{
    const char* name;
    Kind kind;
    std::size_t index;
};

constexpr std::array<Entry, 10> kEntries = {{
    {"NtscSizes", Kind::Sizes, 0},
    {"PalSizes", Kind::Sizes, 1},
    {"SampleRates", Kind::Rates, 0},
    {"BitRateRange", Kind::Range, 0},
    {"VolumeRange", Kind::Range, 1},
    {"BrightnessRange", Kind::Range, 2},
    {"ContrastRange", Kind::Range, 3},
    {"HueRange", Kind::Range, 4},
    {"SaturationRange", Kind::Range, 5},
    {"SharpnessRange", Kind::Range, 6},
}};

const Entry* Find(std::string_view name)
{
    const auto found = std::find_if(kEntries.begin(), kEntries.end(),
                                    [name](const Entry& entry) { return entry.name == name; });
    return found == kEntries.end() ? nullptr : &*found;
}

template <class Caps> auto& SizesAt(Caps& caps, std::size_t index)
{
    return index == 0 ? caps.ntscSizes : caps.palSizes;
}

template <class Caps> auto& RangeAt(Caps& caps, std::size_t index)
{
    if (index == 0)
        return caps.bitRates;
    if (index == 1)
        return caps.volumes;
    return caps.procAmp[index - 2];
}

std::optional<FrameSize> ParseSize(std::string_view text)
{
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos)
        return std::nullopt;
    const auto width = ParseInteger(text.substr(0, x), 1, kMaxSide);
    const auto height = ParseInteger(text.substr(x + 1), 1, kMaxSide);
    if (!width || !height)
        return std::nullopt;
    return FrameSize{static_cast<std::uint32_t>(*width), static_cast<std::uint32_t>(*height)};
}

bool Fail(std::string* pProblem, std::string problem)
{
    *pProblem = std::move(problem);
    return false;
}

bool ParseSizes(std::vector<FrameSize>& sizes, std::string_view text, std::string* pProblem)
{
    const std::vector<std::string_view> fields = SplitFields(text, kSeparators);
    if (fields.empty() || fields.size() > CapsValues::kMaxEntries)
        return Fail(pProblem, "takes 1 to 256 sizes WIDTHxHEIGHT");
    std::vector<FrameSize> parsed;
    for (std::string_view field : fields)
    {
        const std::optional<FrameSize> size = ParseSize(field);
        if (!size)
            return Fail(pProblem, "has " + std::string(field) + ", not a size WIDTHxHEIGHT");
        parsed.push_back(*size);
    }
    sizes = std::move(parsed);
    return true;
}

bool ParseRates(std::vector<std::uint32_t>& rates, std::string_view text, std::string* pProblem)
{
    const std::vector<std::string_view> fields = SplitFields(text, kSeparators);
    if (fields.empty() || fields.size() > CapsValues::kMaxEntries)
        return Fail(pProblem, "takes 1 to 256 sampling rates in Hz");
    std::vector<std::uint32_t> parsed;
    for (std::string_view field : fields)
    {
        const std::optional<std::int64_t> rate = ParseInteger(field, 1, kMaxRate);
        if (!rate)
            return Fail(pProblem,
                        "has " + std::string(field) + ", not a rate from 1 to 1000000 Hz");
        parsed.push_back(static_cast<std::uint32_t>(*rate));
    }
    rates = std::move(parsed);
    return true;
}

bool ParseRange(ValueRange& range, std::string_view text, std::string* pProblem)
{
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::size_t dots = text.find("..");
    const auto min = dots == std::string_view::npos
                         ? std::nullopt
                         : ParseInteger(text.substr(0, dots), kMin, kMax);
    const auto max = dots == std::string_view::npos
                         ? std::nullopt
                         : ParseInteger(text.substr(dots + 2), kMin, kMax);
    if (!min || !max || *min > *max)
        return Fail(pProblem, "takes a range MIN..MAX with MIN at most MAX");
    range = {static_cast<std::int32_t>(*min), static_cast<std::int32_t>(*max)};
    return true;
}

std::string FormatSizes(const std::vector<FrameSize>& sizes)
{
    std::string text;
    for (const FrameSize& size : sizes)
    {
        if (!text.empty())
            text += ' ';
        text += std::to_string(size.width);
        text += 'x';
        text += std::to_string(size.height);
    }
    return text;
}

std::string FormatRates(const std::vector<std::uint32_t>& rates)
{
    std::string text;
    for (const std::uint32_t rate : rates)
    {
        if (!text.empty())
            text += ' ';
        text += std::to_string(rate);
    }
    return text;
}

std::string FormatRange(const ValueRange& range)
{
    return std::to_string(range.min) + ".." + std::to_string(range.max);
}

// A frame size or rate the caps offer, as the capture source would be asked for it. The
// knobs (bit rates, volume, amplifier) need no look: the device brings them within the
// source's limits (ToCaptureSettings).
struct Probe
{
    std::string name;
    CaptureSettings settings;
};

void AddSizeProbes(std::vector<Probe>& probes, const char* pszName,
                   const std::vector<FrameSize>& sizes, LONG standard)
{
    for (const FrameSize& size : sizes)
    {
        Probe probe{pszName, {}};
        probe.settings.standard = standard;
        probe.settings.width = static_cast<std::int32_t>(size.width);
        probe.settings.height = static_cast<std::int32_t>(size.height);
        probes.push_back(probe);
    }
}

std::vector<Probe> ProbesOf(const DeviceCaps& caps)
{
    std::vector<Probe> probes;
    AddSizeProbes(probes, "NtscSizes", caps.ntscSizes, AnalogVideo_NTSC_M);
    AddSizeProbes(probes, "PalSizes", caps.palSizes, AnalogVideo_PAL_B);
    for (const std::uint32_t rate : caps.sampleRates)
    {
        Probe probe{"SampleRates", {}};
        probe.settings.sampleRate = rate;
        probes.push_back(probe);
    }
    return probes;
}
} // namespace

namespace CapsValues
{

const std::vector<std::string>& Names()
{
    static const std::vector<std::string> names = []
    {
        std::vector<std::string> all;
        for (const Entry& entry : kEntries)
            all.emplace_back(entry.name);
        return all;
    }();
    return names;
}

bool Parse(DeviceCaps& caps, std::string_view name, std::string_view text, std::string* pProblem)
{
    const Entry* pEntry = Find(name);
    std::string problem;
    bool bParsed = false;
    if (!pEntry)
        problem = "is not a capability";
    else if (pEntry->kind == Kind::Sizes)
        bParsed = ParseSizes(SizesAt(caps, pEntry->index), text, &problem);
    else if (pEntry->kind == Kind::Rates)
        bParsed = ParseRates(caps.sampleRates, text, &problem);
    else
        bParsed = ParseRange(RangeAt(caps, pEntry->index), text, &problem);
    if (!bParsed && pProblem)
        *pProblem = std::string(name) + " " + problem;
    return bParsed;
}

std::string Format(const DeviceCaps& caps, std::string_view name)
{
    const Entry* pEntry = Find(name);
    if (!pEntry)
        return {};
    if (pEntry->kind == Kind::Sizes)
        return FormatSizes(SizesAt(caps, pEntry->index));
    if (pEntry->kind == Kind::Rates)
        return FormatRates(caps.sampleRates);
    return FormatRange(RangeAt(caps, pEntry->index));
}

DeviceCaps Read(const std::function<std::string(const std::string& name)>& lookup)
{
    DeviceCaps caps;
    for (const std::string& name : Names())
    {
        const std::string text = lookup(name);
        if (!text.empty())
            Parse(caps, name, text, nullptr);
    }
    return caps;
}

std::vector<std::string> Uncapturable(const DeviceCaps& caps)
{
    std::vector<std::string> problems;
    for (const Probe& probe : ProbesOf(caps))
    {
        const std::string problem = CheckStreamFormat(probe.settings);
        if (!problem.empty() && std::find(problems.begin(), problems.end(),
                                          probe.name + ": " + problem) == problems.end())
            problems.push_back(probe.name + ": " + problem);
    }
    return problems;
}

} // namespace CapsValues
