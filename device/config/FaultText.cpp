#include "FaultText.h"

#include "DeviceControlProperties.h"
#include "TextFields.h"

#include <dshow/DeviceControl.h>
#include <dshow/Events.h>

#include <algorithm>
#include <cstdio>

namespace
{
constexpr std::string_view kOff = "off";
constexpr std::int64_t kMaxCount = 0x7FFFFFFF;
constexpr std::int64_t kMaxStallMilliseconds = 600000;
constexpr std::int64_t kMaxStopSeconds = 86400;

struct PropertyName
{
    const char* name;
    FaultPropertySet set;
    std::uint32_t id;
};

constexpr PropertyName kPropertyNames[] = {
    {"encoder-settings", FaultPropertySet::DeviceControl, DEVICEPROP_ENCODER_SETTINGS},
    {"volume", FaultPropertySet::DeviceControl, DEVICEPROP_AUDIO_VOLUME},
    {"audio-settings", FaultPropertySet::DeviceControl, DEVICEPROP_AUDIO_SETTINGS},
    {"encoder-caps", FaultPropertySet::DeviceControl, DEVICEPROP_ENCODER_CAPS},
    {"audio-caps", FaultPropertySet::DeviceControl, DEVICEPROP_AUDIO_CAPS},
    {"mute", FaultPropertySet::DeviceControl, DEVICEPROP_AUDIO_MUTE},
    {"passthrough", FaultPropertySet::DeviceControl, DEVICEPROP_ENABLE_PASSTHROUGH},
    {"status", FaultPropertySet::DeviceControl, DEVICEPROP_STATUS},
    {"brightness", FaultPropertySet::ProcAmp, VideoProcAmp_Brightness},
    {"contrast", FaultPropertySet::ProcAmp, VideoProcAmp_Contrast},
    {"hue", FaultPropertySet::ProcAmp, VideoProcAmp_Hue},
    {"saturation", FaultPropertySet::ProcAmp, VideoProcAmp_Saturation},
    {"sharpness", FaultPropertySet::ProcAmp, VideoProcAmp_Sharpness},
};

struct PropertyVerb
{
    const char* name;
    FaultOperation operation;
    FaultKind kind;
};

constexpr PropertyVerb kVerbs[] = {
    {"get-fail", FaultOperation::Get, FaultKind::Fail},
    {"set-fail", FaultOperation::Set, FaultKind::Fail},
    {"get-empty", FaultOperation::Get, FaultKind::Nothing},
    {"set-ignore", FaultOperation::Set, FaultKind::Nothing},
};

struct EventName
{
    const char* name;
    LONG code;
};

constexpr EventName kEventNames[] = {
    {"abort", EC_ERRORABORT},           {"stream-error", EC_STREAM_ERROR_STOPPED},
    {"starvation", EC_STARVATION},      {"audio-in", EC_SNDDEV_IN_ERROR},
    {"audio-out", EC_SNDDEV_OUT_ERROR}, {"end", EC_COMPLETE},
};

template <class Entry, std::size_t N>
const Entry* FindByName(const Entry (&entries)[N], std::string_view name)
{
    const auto found = std::find_if(std::begin(entries), std::end(entries),
                                    [name](const Entry& entry) { return entry.name == name; });
    return found == std::end(entries) ? nullptr : found;
}

bool Fail(std::string* pProblem, const std::string& problem)
{
    if (pProblem)
        *pProblem = problem;
    return false;
}

std::string FormatResult(HRESULT result)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(result));
    return text;
}

std::optional<HRESULT> ParseFailure(std::string_view text)
{
    const std::optional<std::uint32_t> code = ParseCode(text);
    if (!code || !FAILED(static_cast<HRESULT>(*code)))
        return std::nullopt;
    return static_cast<HRESULT>(*code);
}

// Seconds with up to three decimals, as milliseconds.
std::optional<std::uint32_t> ParseMilliseconds(std::string_view text)
{
    const std::size_t point = text.find('.');
    const auto seconds = ParseInteger(text.substr(0, point), 0, kMaxStopSeconds);
    std::int64_t fraction = 0;
    if (point != std::string_view::npos)
    {
        std::string digits(text.substr(point + 1));
        if (digits.empty() || digits.size() > 3)
            return std::nullopt;
        digits.resize(3, '0');
        const auto parsed = ParseInteger(digits, 0, 999);
        if (!parsed)
            return std::nullopt;
        fraction = *parsed;
    }
    if (!seconds)
        return std::nullopt;
    return static_cast<std::uint32_t>(*seconds * 1000 + fraction);
}

std::string FormatMilliseconds(std::uint32_t milliseconds)
{
    std::string text = std::to_string(milliseconds / 1000);
    if (milliseconds % 1000 != 0)
    {
        char fraction[8];
        std::snprintf(fraction, sizeof(fraction), ".%03u", milliseconds % 1000);
        text += fraction;
        while (text.back() == '0')
            text.pop_back();
    }
    return text;
}

const char* EventNameOf(LONG code)
{
    for (const EventName& event : kEventNames)
        if (event.code == code)
            return event.name;
    return "?";
}

// "AFTER[:EVENT[:HRESULT]]"; the first field is read by parseAfter.
bool ParseEvent(FaultEvent& event, std::string_view value, LONG defaultCode, bool bCapturePin,
                std::optional<std::uint32_t> (*parseAfter)(std::string_view), std::string* pProblem)
{
    const std::vector<std::string_view> fields = SplitFields(value, ":");
    if (fields.empty() || fields.size() > 3)
        return Fail(pProblem, "takes AFTER[:EVENT[:HRESULT]]");
    const std::optional<std::uint32_t> after = parseAfter(fields[0]);
    if (!after)
        return Fail(pProblem, "has " + std::string(fields[0]) + " where it counts when");
    FaultEvent parsed{*after, defaultCode, E_FAIL};
    if (fields.size() > 1)
    {
        const EventName* pEvent = FindByName(kEventNames, fields[1]);
        if (!pEvent || !IsFaultEvent(pEvent->code, bCapturePin))
            return Fail(pProblem, "has no event " + std::string(fields[1]));
        parsed.code = pEvent->code;
    }
    if (fields.size() > 2)
    {
        const std::optional<HRESULT> result = ParseFailure(fields[2]);
        if (!result)
            return Fail(pProblem, "has " + std::string(fields[2]) + ", not a failure code");
        parsed.result = *result;
    }
    event = parsed;
    return true;
}

std::optional<std::uint32_t> ParseCount(std::string_view text)
{
    const auto count = ParseInteger(text, 0, kMaxCount);
    return count ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*count)) : std::nullopt;
}

bool ApplyPropertyFault(FaultPlan& plan, std::string_view verb, std::string_view property,
                        std::optional<std::string_view> value, std::string* pProblem)
{
    const PropertyVerb* pVerb = FindByName(kVerbs, verb);
    const PropertyName* pProperty = FindByName(kPropertyNames, property);
    if (!pVerb || !pProperty)
        return Fail(pProblem, "names no property fault");
    if (value == kOff)
    {
        plan.Remove(pProperty->set, pProperty->id, pVerb->operation);
        return true;
    }
    // A fault that does nothing returns S_OK.
    PropertyFault fault{pProperty->set, pProperty->id, pVerb->operation, pVerb->kind,
                        pVerb->kind == FaultKind::Fail ? E_FAIL : S_OK};
    if (value && pVerb->kind == FaultKind::Nothing)
        return Fail(pProblem, "takes no value");
    if (value)
    {
        const std::optional<HRESULT> result = ParseFailure(*value);
        if (!result)
            return Fail(pProblem, "takes a failure code, not " + std::string(*value));
        fault.result = *result;
    }
    if (!plan.Put(fault))
        return Fail(pProblem, "is one property fault too many (at most 16)");
    return true;
}

bool ApplyResultFault(HRESULT& result, std::optional<std::string_view> value, std::string* pProblem)
{
    const std::optional<HRESULT> parsed = value ? ParseFailure(*value) : E_FAIL;
    if (!parsed)
        return Fail(pProblem, "takes a failure code, not " + std::string(*value));
    result = *parsed;
    return true;
}

bool ApplyNumberFault(std::uint32_t& number, std::int64_t min, std::int64_t max,
                      std::optional<std::string_view> value, std::string* pProblem)
{
    const auto parsed = value ? ParseInteger(*value, min, max) : std::nullopt;
    if (!parsed)
        return Fail(pProblem,
                    "takes a number from " + std::to_string(min) + " to " + std::to_string(max));
    number = static_cast<std::uint32_t>(*parsed);
    return true;
}

bool ApplyRefusal(FaultPlan& plan, std::optional<std::string_view> value, std::string* pProblem)
{
    const std::vector<std::string_view> fields =
        value ? SplitFields(*value, ":") : std::vector<std::string_view>();
    if (fields.empty() || fields.size() > 2)
        return Fail(pProblem, "takes PACKETS[:HRESULT]");
    const std::optional<std::uint32_t> after = ParseCount(fields[0]);
    HRESULT result = E_FAIL;
    if (!after || (fields.size() == 2 && !ApplyResultFault(result, fields[1], pProblem)))
        return Fail(pProblem, "takes PACKETS[:HRESULT]");
    plan.refuseAfterPackets = *after;
    plan.refuseResult = result;
    return true;
}

// The faults that have no property: how each is switched off and set.
struct PlanFault
{
    const char* name;
    void (*off)(FaultPlan& plan);
    bool (*apply)(FaultPlan& plan, std::optional<std::string_view> value, std::string* pProblem);
};

constexpr PlanFault kPlanFaults[] = {
    {"bind-fail", [](FaultPlan& p) { p.bindResult = S_OK; },
     [](FaultPlan& p, auto value, std::string* pProblem)
     { return ApplyResultFault(p.bindResult, value, pProblem); }},
    {"join-fail", [](FaultPlan& p) { p.joinResult = S_OK; },
     [](FaultPlan& p, auto value, std::string* pProblem)
     { return ApplyResultFault(p.joinResult, value, pProblem); }},
    {"drop-frames", [](FaultPlan& p) { p.dropFrames = 0; },
     [](FaultPlan& p, auto value, std::string* pProblem)
     { return ApplyNumberFault(p.dropFrames, 0, kMaxCount, value, pProblem); }},
    {"stall", [](FaultPlan& p) { p.stallMilliseconds = 0; },
     [](FaultPlan& p, auto value, std::string* pProblem)
     { return ApplyNumberFault(p.stallMilliseconds, 0, kMaxStallMilliseconds, value, pProblem); }},
    {"flip-bits", [](FaultPlan& p) { p.flipBitsEvery = 0; },
     [](FaultPlan& p, auto value, std::string* pProblem)
     { return ApplyNumberFault(p.flipBitsEvery, 1, kMaxCount, value, pProblem); }},
    {"cut-pes", [](FaultPlan& p) { p.cutPesEvery = 0; },
     [](FaultPlan& p, auto value, std::string* pProblem)
     { return ApplyNumberFault(p.cutPesEvery, 1, kMaxCount, value, pProblem); }},
    {"capture-stop", [](FaultPlan& p) { p.captureStop = {}; },
     [](FaultPlan& p, auto value, std::string* pProblem)
     {
         return value ? ParseEvent(p.captureStop, *value, EC_ERRORABORT, true, ParseMilliseconds,
                                   pProblem)
                      : Fail(pProblem, "takes SECONDS[:EVENT[:HRESULT]]");
     }},
    {"playback-refuse",
     [](FaultPlan& p)
     {
         p.refuseResult = S_OK;
         p.refuseAfterPackets = 0;
     },
     ApplyRefusal},
    {"playback-event", [](FaultPlan& p) { p.playbackEvent = {}; },
     [](FaultPlan& p, auto value, std::string* pProblem)
     {
         return value ? ParseEvent(p.playbackEvent, *value, EC_SNDDEV_OUT_ERROR, false, ParseCount,
                                   pProblem)
                      : Fail(pProblem, "takes PACKETS[:EVENT[:HRESULT]]");
     }},
};

std::string EventText(const FaultEvent& event, std::string after)
{
    return after + ":" + EventNameOf(event.code) + ":" + FormatResult(event.result);
}

std::string PropertyFaultText(const PropertyFault& fault)
{
    std::string text = "?";
    for (const PropertyVerb& verb : kVerbs)
        if (verb.operation == fault.operation && verb.kind == fault.kind)
            text = verb.name;
    text += ':';
    for (const PropertyName& property : kPropertyNames)
        if (property.set == fault.set && property.id == fault.id)
            text += property.name;
    return fault.kind == FaultKind::Fail ? text + "=" + FormatResult(fault.result) : text;
}
} // namespace

bool ApplyFault(FaultPlan& plan, std::string_view name, std::optional<std::string_view> value,
                std::string* pProblem)
{
    std::string problem;
    bool bApplied = false;
    if (const std::size_t colon = name.find(':'); colon != std::string_view::npos)
        bApplied = ApplyPropertyFault(plan, name.substr(0, colon), name.substr(colon + 1), value,
                                      &problem);
    else if (const PlanFault* pFault = FindByName(kPlanFaults, name); !pFault)
        problem = "is not a fault";
    else if (value == kOff)
    {
        pFault->off(plan);
        bApplied = true;
    }
    else
        bApplied = pFault->apply(plan, value, &problem);
    if (!bApplied && pProblem)
        *pProblem = std::string(name) + " " + problem;
    return bApplied;
}

std::vector<std::string> FaultAssignments(const FaultPlan& plan)
{
    std::vector<std::string> all;
    for (const PropertyFault& fault : plan.properties)
        all.push_back(PropertyFaultText(fault));
    const auto add = [&](bool bSet, const char* pszName, const std::string& value)
    {
        if (bSet)
            all.push_back(std::string(pszName) + "=" + value);
    };
    add(FAILED(plan.bindResult), "bind-fail", FormatResult(plan.bindResult));
    add(FAILED(plan.joinResult), "join-fail", FormatResult(plan.joinResult));
    add(plan.dropFrames != 0, "drop-frames", std::to_string(plan.dropFrames));
    add(plan.stallMilliseconds != 0, "stall", std::to_string(plan.stallMilliseconds));
    add(plan.flipBitsEvery != 0, "flip-bits", std::to_string(plan.flipBitsEvery));
    add(plan.cutPesEvery != 0, "cut-pes", std::to_string(plan.cutPesEvery));
    add(plan.captureStop.IsSet(), "capture-stop",
        EventText(plan.captureStop, FormatMilliseconds(plan.captureStop.after)));
    add(FAILED(plan.refuseResult), "playback-refuse",
        std::to_string(plan.refuseAfterPackets) + ":" + FormatResult(plan.refuseResult));
    add(plan.playbackEvent.IsSet(), "playback-event",
        EventText(plan.playbackEvent, std::to_string(plan.playbackEvent.after)));
    return all;
}

std::string EncodeFaults(const FaultPlan& plan)
{
    std::string text;
    for (const std::string& assignment : FaultAssignments(plan))
    {
        if (!text.empty())
            text += ' ';
        text += assignment;
    }
    return text;
}

FaultPlan DecodeFaults(std::string_view text)
{
    FaultPlan plan;
    for (const std::string_view assignment : SplitFields(text, " "))
    {
        const std::size_t equals = assignment.find('=');
        const std::optional<std::string_view> value =
            equals == std::string_view::npos ? std::nullopt
                                             : std::optional(assignment.substr(equals + 1));
        ApplyFault(plan, assignment.substr(0, equals), value, nullptr);
    }
    return plan;
}
