#include "DeviceState.h"

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

DeviceState::ChangeResult DeviceState::Change(const std::function<bool(DeviceSettings&)>& rule)
{
    std::lock_guard lock(m_mutex);
    ReloadLocked();
    DeviceSettings changed = m_settings;
    if (!rule(changed))
    {
        DeviceCounters counters = DecodeCounters(ReadUtf8Locked(kDeviceValueCounters));
        ++counters.settingsRefused;
        m_store.Write(kDeviceValueCounters, Utf8ToWide(EncodeCounters(counters)));
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

bool DeviceState::ReloadLocked()
{
    const std::wstring text = m_store.Read(kDeviceValueState);
    if (text.empty() || text == m_storedText)
        return false;
    m_storedText = text;
    const DeviceSettings stored = DecodeSettings(WideToUtf8(text));
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
    DeviceCounters totals = DecodeCounters(ReadUtf8Locked(kDeviceValueCounters));
    totals += counts;
    m_store.Write(kDeviceValueCounters, Utf8ToWide(EncodeCounters(totals)));
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
