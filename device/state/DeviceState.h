#pragma once
// The state of one virtual device as a filter bound to it sees it: the settings, what
// the device offers, the faults it injects and the stored counters, kept like a device
// keeps them while powered.
//
// The settings and caps are read from the store before every use and the settings
// written back, as one value, by every accepted change, so filters bound to the same
// device (in this process or another) share them. A refused change leaves them
// untouched and counts a refusal. Caps changed in the store take effect at once, the
// settings brought within them. Thread-safe: the application thread changes settings
// while the capture thread reads them.

#include "DeviceCaps.h"
#include "DeviceCounters.h"
#include "DeviceSettings.h"
#include "DeviceStore.h"
#include "FaultPlan.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

class DeviceState
{
public:
    // Binds the state to a registered device's values; until then it lives in memory
    // under the first device's name.
    void Attach(IPropertyBag* pBag);

    std::string DeviceName() const;
    // The current settings and caps, read again from the store.
    DeviceSettings Settings();
    DeviceCaps Caps();
    enum class ChangeResult
    {
        Accepted,
        Refused,
        NotSaved, // accepted, but the store could not be written: nothing changed
    };
    // Runs rule on a copy of the current settings, under the current caps; when it
    // accepts, the copy becomes the settings, written to the store as one value.
    using Rule = std::function<bool(DeviceSettings& settings, const DeviceCaps& caps)>;
    ChangeResult Change(const Rule& rule);
    // Reads the store again; true when the settings changed since they were last seen
    // (a change made by another filter or process).
    bool Refresh();
    // Counts every change of the settings that this state has seen.
    std::uint64_t Version() const { return m_version.load(); }

    // The counter totals in the store, and adding a run's counts to them.
    DeviceCounters StoredCounters();
    void AddToCounters(const DeviceCounters& counts);
    // Adds one to a counter of the store.
    void Count(std::uint64_t DeviceCounters::*counter);

    // The faults to inject, read again from the store, and replacing them; false when
    // the store could not be written.
    FaultPlan Faults();
    bool SetFaults(const FaultPlan& plan);

    // The device's configuration values (UTF-8; empty when not set).
    std::string SourceFile();
    std::string RecordFile();
    // Pacing "fast" in the store or MARVEK_DEVICE_PACING=fast in the environment.
    bool FastPacing();

private:
    bool ReloadLocked();
    void CountLocked(std::uint64_t DeviceCounters::*counter);
    void AddToCountersLocked(const DeviceCounters& counts);
    std::string ReadUtf8Locked(const wchar_t* name) const;

    mutable std::mutex m_mutex;
    DeviceStore m_store;
    std::string m_name;
    DeviceSettings m_settings;
    DeviceCaps m_caps;
    std::wstring m_storedText;
    std::wstring m_faultsText;
    FaultPlan m_faults;
    std::atomic<std::uint64_t> m_version{0};
};
