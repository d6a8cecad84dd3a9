#include "DeviceState.h"

#include "CapsValues.h"
#include "FaultText.h"
#include "SettingsText.h"
#include "VirtualCaptureDevice.h"

#include <com/StringConvert.h>

#include <cstdlib>
#include <cstring>

void DeviceState::Attach(IPropertyBag* pBag)
{
    std::lock_guard lock(m_mutex);
    m_store = DeviceStore(pBag);
    m_name = ReadUtf8Locked(L"FriendlyName");
    m_storedText.clear();
    m_faultsText.clear();
    m_faults = FaultPlan();
    m_caps = DeviceCaps();
    m_settings = DeviceSettings();
    ReloadLocked();
}

std::string DeviceState::DeviceName() const
{
    std::lock_guard lock(m_mutex);
    return m_name.empty() ? WideToUtf8(kFirstDeviceName) : m_name;
}

DeviceSettings DeviceState::Settings()
{
    std::lock_guard lock(m_mutex);
    ReloadLocked();
    return m_settings;
}

DeviceCaps DeviceState::Caps()
{
    std::lock_guard lock(m_mutex);
    ReloadLocked();
    return m_caps;
}

DeviceState::ChangeResult DeviceState::Change(const Rule& rule)
{
    std::lock_guard lock(m_mutex);
    ReloadLocked();
    DeviceSettings changed = m_settings;
    if (!rule(changed, m_caps))
    {
        CountLocked(&DeviceCounters::settingsRefused);
        return ChangeResult::Refused;
    }
    const std::wstring text = Utf8ToWide(EncodeSettings(changed));
    if (text != m_storedText)
    {
        if (!m_store.Write(kDeviceValueState, text))
            return ChangeResult::NotSaved;
        m_storedText = text;
    }
    if (changed != m_settings)
    {
        m_settings = changed;
        ++m_version;
    }
    return ChangeResult::Accepted;
}

bool DeviceState::Refresh()
{
    std::lock_guard lock(m_mutex);
    return ReloadLocked();
}

// The settings are read again when their text or the caps they were read under changed.
bool DeviceState::ReloadLocked()
{
    const DeviceCaps caps = CapsValues::Read([this](const std::string& name)
                                             { return ReadUtf8Locked(Utf8ToWide(name).c_str()); });
    const std::wstring text = m_store.Read(kDeviceValueState);
    if (text == m_storedText && caps == m_caps)
        return false;
    m_storedText = text;
    m_caps = caps;
    const DeviceSettings stored = DecodeSettings(WideToUtf8(text), caps);
    if (stored == m_settings)
        return false;
    m_settings = stored;
    ++m_version;
    return true;
}

DeviceCounters DeviceState::StoredCounters()
{
    std::lock_guard lock(m_mutex);
    return DecodeCounters(ReadUtf8Locked(kDeviceValueCounters));
}

void DeviceState::AddToCounters(const DeviceCounters& counts)
{
    std::lock_guard lock(m_mutex);
    AddToCountersLocked(counts);
}

void DeviceState::Count(std::uint64_t DeviceCounters::*counter)
{
    std::lock_guard lock(m_mutex);
    CountLocked(counter);
}

void DeviceState::CountLocked(std::uint64_t DeviceCounters::*counter)
{
    DeviceCounters one;
    one.*counter = 1;
    AddToCountersLocked(one);
}

void DeviceState::AddToCountersLocked(const DeviceCounters& counts)
{
    DeviceCounters totals = DecodeCounters(ReadUtf8Locked(kDeviceValueCounters));
    totals += counts;
    m_store.Write(kDeviceValueCounters, Utf8ToWide(EncodeCounters(totals)));
}

FaultPlan DeviceState::Faults()
{
    std::lock_guard lock(m_mutex);
    const std::wstring text = m_store.Read(kDeviceValueFaults);
    if (text != m_faultsText)
    {
        m_faultsText = text;
        m_faults = DecodeFaults(WideToUtf8(text));
    }
    return m_faults;
}

bool DeviceState::SetFaults(const FaultPlan& plan)
{
    std::lock_guard lock(m_mutex);
    return m_store.Write(kDeviceValueFaults, Utf8ToWide(EncodeFaults(plan)));
}

std::string DeviceState::SourceFile()
{
    std::lock_guard lock(m_mutex);
    return ReadUtf8Locked(kDeviceValueSourceFile);
}

std::string DeviceState::RecordFile()
{
    std::lock_guard lock(m_mutex);
    return ReadUtf8Locked(kDeviceValueRecordFile);
}

bool DeviceState::FastPacing()
{
    const char* pEnvironment = std::getenv(kPacingEnvironmentVariable);
    if (pEnvironment && WideToUtf8(kFastPacing) == pEnvironment)
        return true;
    std::lock_guard lock(m_mutex);
    return m_store.Read(kDeviceValuePacing) == kFastPacing;
}

std::string DeviceState::ReadUtf8Locked(const wchar_t* name) const
{
    return WideToUtf8(m_store.Read(name));
}
