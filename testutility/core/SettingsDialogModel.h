#pragma once

// The developer settings dialog "DeveloperTest" without its window: the state of
// every control that shows or changes a setting, and what each control does. The
// windowed dialog draws this state and forwards its notifications here; the command
// line drives the same handlers. Each immediate handler changes the settings record,
// writes the changed fields into the device operation's buffer and sends it at once;
// OK validates and stores the typed values, in the dialog's written order.
//
// Typed values live as the edits' texts; "reading the edits" parses them in the
// dialog's exchange order (amplifier value, bit rate, peak bit rate, volume, file
// size limit, time limit) and stops at the first that is not an integer, with the
// class library's message, leaving that member and the ones after it as they were.

#include "AppSettings.h"
#include "DevicePropertyAccess.h"
#include "UserReport.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A slider: its range and its position, which it keeps within the range.
struct SliderState
{
    std::int32_t min = 0;
    std::int32_t max = 0;
    std::int32_t position = 0;

    void SetRange(std::int32_t nMin, std::int32_t nMax);
    void SetPosition(std::int32_t nPosition);
};

// A list or combo box: its entries and the selected index (-1 none).
struct ListState
{
    std::vector<std::string> entries;
    int selection = -1;
};

// The integer edits, by the identifier of their control.
enum class SettingsEdit
{
    ProcAmpValue,  // 1001
    BitRate,       // 1033
    PeakBitRate,   // 1034
    Volume,        // 1032
    FileSizeLimit, // 1024
    TimeLimit,     // 1041
};
inline constexpr std::size_t kSettingsEditCount = 6;

class SettingsDialogModel : private DevicePropertyAccess::Listener
{
public:
    // The file dialogs of the two browse buttons.
    struct FileDialogRequest
    {
        const char* pszDefaultExtension; // null: none
        const char* pszInitialName;      // null: none
        const char* pszFilter;
        bool bNoChangeDirectory;
    };

    static constexpr const char* kTitle = "DeveloperTest";
    static constexpr std::array<const char*, kProcAmpCount> kProcAmpNames = {
        "Brightness", "Contrast", "Hue", "Saturation", "Sharpness"};
    static constexpr std::int32_t kMaxFileSizeLimitMB = 2032;

    SettingsDialogModel(AppSettings& settings, UserReport& report);

    // What the dialog does when it opens.
    void Open();

    // The state the window draws.
    ListState procAmpList;
    SliderState procAmpSlider;
    SliderState bitRateSlider;
    SliderState peakBitRateSlider;
    SliderState volumeSlider; // positions are the volume + 50
    ListState sizeList;
    ListState rateList;
    bool bSVideoChecked = false;
    bool bCompositeChecked = false;
    bool bMpeg2Checked = false;
    bool bMpeg1Checked = false;
    bool bNtscChecked = false;
    bool bPalChecked = false;
    bool bVbrChecked = false;
    bool bMuteChecked = false;
    bool bPesHeaderChecked = false;
    bool bPcmChecked = false;
    bool bLpcmChecked = false;
    bool bVbrEnabled = true;           // 1013
    bool bPeakBitRateEnabled = true;   // 1015 and 1034
    bool bByteOrderEnabled = true;     // 1022, 1035, 1036 and 1037
    std::string captureFileEdit;       // 1027
    std::string playbackFileEdit;      // 1028
    std::array<std::string, kSettingsEditCount> edits; // the integer edits' texts

    const std::string& EditText(SettingsEdit edit) const { return edits[Index(edit)]; }
    void SetEditText(SettingsEdit edit, std::string text) { edits[Index(edit)] = std::move(text); }

    // Immediate handlers.
    void OnProcAmpSelected(int index);        // list 1017
    void OnProcAmpSliderMoved(std::int32_t position);   // slider 1016
    void OnBitRateSliderMoved(std::int32_t position);   // slider 1014
    void OnPeakBitRateSliderMoved(std::int32_t position); // slider 1015
    void OnVolumeSliderMoved(std::int32_t position);    // slider 1026
    void OnInputChosen(bool bSVideo);         // 1005, 1006
    void OnMpeg2Chosen();                     // 1008
    void OnMpeg1Chosen();                     // 1009
    void OnStandardChosen(bool bNtsc);        // 1010, 1011
    void OnSizeSelected(int index);           // 1012
    void OnVbrToggled(bool bChecked);         // 1013
    void OnRateSelected(int index);           // 1025
    void OnPesHeaderToggled(bool bChecked);   // 1035
    void OnByteOrderChosen(bool bPcm);        // 1036, 1037
    void OnMuteToggled(bool bChecked);        // 1023
    void OnEnablePassthrough();               // 1039
    void OnSetProcAmp();                      // 1002
    void OnCaptureFileChosen(const std::string& path); // 1029
    void OnPlaybackFileChosen(const std::string& path); // 1030
    // OK: validates and stores; the dialog closes afterwards whatever was shown.
    void OnOk();

    static FileDialogRequest CaptureFileDialog();
    FileDialogRequest PlaybackFileDialog() const;

private:
    static std::size_t Index(SettingsEdit edit) { return static_cast<std::size_t>(edit); }

    // DevicePropertyAccess::Listener
    void OnEncoderCapsRead() override;
    void OnAudioCapsRead() override;

    void RefreshProcAmpSlider();
    void RefreshBitRateSliders();
    void RefreshVolumeSlider();
    void RefreshSizeList(bool bTakeFirst);
    void RefreshRateList();
    void ShowModeChecks();
    void EnablePeakBitRateForVbr();

    // The integer members the edits exchange with.
    void PushMembersToEdits();
    bool ReadEdits();
    bool Developer() const { return m_Settings.developer != 0; }
    // The typed value when it lies in [nMin, nMax] or developer mode is on; else the
    // range message and nothing.
    std::optional<std::int32_t> Validated(std::int32_t value, std::int32_t nMin, std::int32_t nMax);
    void SendEncoderFields(unsigned fields);

    AppSettings& m_Settings;
    UserReport& m_Report;
    DevicePropertyAccess m_Device;
    std::array<std::int64_t, kSettingsEditCount> m_Members{};
};
