#include "SettingsDialogModel.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>

namespace
{
constexpr std::int32_t kMpeg2BitRate = 4200000;
constexpr std::int32_t kMpeg1BitRate = 1150000;
constexpr std::int32_t kVolumeSliderOffset = 50;
constexpr const char* kNotAnInteger = "Please enter an integer.";
constexpr const char* kNoDevice = "Video Capture Device Not found";

std::string Format(const char* pszFormat, auto... values)
{
    char text[128];
    std::snprintf(text, sizeof(text), pszFormat, values...);
    return text;
}

std::string SizeText(OfferedSize size)
{
    return Format("%d X %d", size.width, size.height);
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y)
                              { return std::tolower(x) == std::tolower(y); });
}

// The entry equal to current, else the first; -1 for an empty list.
int SelectionFor(const std::vector<std::string>& entries, const std::string& current)
{
    const auto found =
        std::ranges::find_if(entries, [&](const std::string& e) { return EqualNoCase(e, current); });
    if (found != entries.end())
        return int(found - entries.begin());
    return entries.empty() ? -1 : 0;
}

// A whole decimal integer of 32 bits, with blanks around it allowed.
std::optional<std::int32_t> ParseInteger(const std::string& text)
{
    const auto isBlank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto first = std::ranges::find_if_not(text, isBlank);
    auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    if (first >= last)
        return std::nullopt;
    if (*first == '+')
        ++first;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(&*first, &*first + (last - first), value);
    if (error != std::errc() || end != &*first + (last - first))
        return std::nullopt;
    return value;
}

std::string Truncated(const std::string& name)
{
    return name.substr(0, kMaxPathChars);
}
} // namespace

void SliderState::SetRange(std::int32_t nMin, std::int32_t nMax)
{
    min = nMin;
    max = nMax;
    SetPosition(position);
}

void SliderState::SetPosition(std::int32_t nPosition)
{
    position = std::max(min, std::min(nPosition, max));
}

SettingsDialogModel::SettingsDialogModel(AppSettings& settings, UserReport& report)
    : m_Settings(settings), m_Report(report), m_Device(settings, this)
{
}

void SettingsDialogModel::Open()
{
    if (!m_Device.HasDevice())
        m_Report.ShowMessage(kNoDevice);
    bByteOrderEnabled = Developer();
    m_Device.ReadForDialog();
    captureFileEdit = m_Settings.captureFile;
    playbackFileEdit = m_Settings.playbackFile;
    m_Members[Index(SettingsEdit::FileSizeLimit)] = m_Settings.fileSizeLimitMB;
    m_Members[Index(SettingsEdit::TimeLimit)] = m_Settings.timeLimitMinutes;
    procAmpList.entries.assign(kProcAmpNames.begin(), kProcAmpNames.end());
    procAmpList.selection = m_Settings.selectedProcAmp;
    RefreshProcAmpSlider();
    bSVideoChecked = m_Settings.input == 1;
    bCompositeChecked = !bSVideoChecked;
    ShowModeChecks();
    bVbrChecked = m_Settings.vbr == 1;
    EnablePeakBitRateForVbr();
    bNtscChecked = m_Settings.tvStandard == 1;
    bPalChecked = m_Settings.tvStandard == 16;
    bPesHeaderChecked = m_Settings.pesHeader == 1;
    bPcmChecked = m_Settings.byteSwap == 1;
    bLpcmChecked = !bPcmChecked;
    bMuteChecked = m_Settings.mute == 1;
    PushMembersToEdits();
}

void SettingsDialogModel::ShowModeChecks()
{
    bMpeg2Checked = m_Settings.mpeg1 == 0;
    bMpeg1Checked = m_Settings.mpeg1 == 1;
    if (bMpeg2Checked)
        bVbrEnabled = true;
    if (bMpeg1Checked)
        bVbrEnabled = bPeakBitRateEnabled = false;
}

void SettingsDialogModel::EnablePeakBitRateForVbr()
{
    bPeakBitRateEnabled = m_Settings.vbr == 1;
}

void SettingsDialogModel::OnEncoderCapsRead()
{
    RefreshSizeList(false);
    RefreshBitRateSliders();
}

void SettingsDialogModel::OnAudioCapsRead()
{
    RefreshRateList();
    RefreshVolumeSlider();
}

void SettingsDialogModel::RefreshProcAmpSlider()
{
    const int selected = procAmpList.selection;
    m_Settings.selectedProcAmp = selected;
    if (selected >= 0 && selected < int(kProcAmpCount))
    {
        const ProcAmpSetting& property = m_Settings.procAmp[std::size_t(selected)];
        procAmpSlider.SetRange(property.min, property.max);
        procAmpSlider.SetPosition(property.value);
    }
    m_Members[Index(SettingsEdit::ProcAmpValue)] = procAmpSlider.position;
    PushMembersToEdits();
}

void SettingsDialogModel::RefreshBitRateSliders()
{
    bitRateSlider.SetRange(m_Settings.bitRateMin, m_Settings.bitRateMax);
    bitRateSlider.SetPosition(m_Settings.bitRate);
    peakBitRateSlider.SetRange(m_Settings.peakBitRateMin, m_Settings.peakBitRateMax);
    peakBitRateSlider.SetPosition(m_Settings.peakBitRate);
    m_Members[Index(SettingsEdit::BitRate)] = bitRateSlider.position;
    m_Members[Index(SettingsEdit::PeakBitRate)] = peakBitRateSlider.position;
    PushMembersToEdits();
}

void SettingsDialogModel::RefreshVolumeSlider()
{
    volumeSlider.SetRange(m_Settings.volumeMin + kVolumeSliderOffset,
                          m_Settings.volumeMax + kVolumeSliderOffset);
    volumeSlider.SetPosition(m_Settings.volume + kVolumeSliderOffset);
    m_Members[Index(SettingsEdit::Volume)] = volumeSlider.position - kVolumeSliderOffset;
    PushMembersToEdits();
}

void SettingsDialogModel::RefreshSizeList(bool bTakeFirst)
{
    const std::string current = SizeText({m_Settings.width, m_Settings.height});
    const std::vector<OfferedSize> sizes = m_Device.OfferedSizes();
    sizeList.entries.clear();
    for (OfferedSize size : sizes)
        sizeList.entries.push_back(SizeText(size));
    sizeList.selection = SelectionFor(sizeList.entries, current);
    if (bTakeFirst && !sizes.empty())
    {
        m_Settings.width = sizes.front().width;
        m_Settings.height = sizes.front().height;
        sizeList.selection = 0;
    }
}

void SettingsDialogModel::RefreshRateList()
{
    const std::vector<std::int32_t> rates = m_Device.OfferedRates();
    rateList.entries.clear();
    for (std::int32_t rate : rates)
        rateList.entries.push_back(Format("%d", rate));
    rateList.selection = SelectionFor(rateList.entries, Format("%d", m_Settings.sampleRate));
}

void SettingsDialogModel::PushMembersToEdits()
{
    for (std::size_t i = 0; i < kSettingsEditCount; ++i)
        edits[i] = std::to_string(m_Members[i]);
}

bool SettingsDialogModel::ReadEdits()
{
    for (std::size_t i = 0; i < kSettingsEditCount; ++i)
    {
        const std::optional<std::int32_t> value = ParseInteger(edits[i]);
        if (!value)
        {
            m_Report.ShowMessage(kNotAnInteger);
            return false;
        }
        m_Members[i] = *value;
    }
    return true;
}

std::optional<std::int32_t> SettingsDialogModel::Validated(std::int32_t value, std::int32_t nMin,
                                                           std::int32_t nMax)
{
    if ((nMin <= value && value <= nMax) || Developer())
        return value;
    m_Report.ShowMessage(Format("Enter value between %d to %d", nMin, nMax));
    return std::nullopt;
}

void SettingsDialogModel::SendEncoderFields(unsigned fields)
{
    m_Device.WriteEncoderFields(fields);
    m_Device.SetEncoderSettings();
}

void SettingsDialogModel::OnProcAmpSelected(int index)
{
    procAmpList.selection = index;
    RefreshProcAmpSlider();
}

void SettingsDialogModel::OnProcAmpSliderMoved(std::int32_t position)
{
    procAmpSlider.SetPosition(position);
    const int selected = procAmpList.selection;
    m_Settings.selectedProcAmp = selected;
    const std::int32_t value = procAmpSlider.position;
    m_Members[Index(SettingsEdit::ProcAmpValue)] = value;
    if (selected >= 0 && selected < int(kProcAmpCount))
        m_Settings.procAmp[std::size_t(selected)].value = value;
    m_Device.WriteProcAmpValue(value);
    m_Device.SetProcAmpValue();
    PushMembersToEdits();
}

void SettingsDialogModel::OnBitRateSliderMoved(std::int32_t position)
{
    bitRateSlider.SetPosition(position);
    const std::int32_t bitRate = bitRateSlider.position;
    m_Members[Index(SettingsEdit::BitRate)] = bitRate;
    m_Members[Index(SettingsEdit::PeakBitRate)] = bitRate;
    m_Settings.bitRate = m_Settings.peakBitRate = m_Settings.peakBitRateMin = bitRate;
    peakBitRateSlider.SetRange(bitRate, m_Settings.peakBitRateMax);
    peakBitRateSlider.SetPosition(bitRate);
    SendEncoderFields(DevicePropertyAccess::kBitRate | DevicePropertyAccess::kPeakBitRate);
    PushMembersToEdits();
}

void SettingsDialogModel::OnPeakBitRateSliderMoved(std::int32_t position)
{
    peakBitRateSlider.SetPosition(position);
    m_Settings.peakBitRate = peakBitRateSlider.position;
    m_Members[Index(SettingsEdit::PeakBitRate)] = m_Settings.peakBitRate;
    SendEncoderFields(DevicePropertyAccess::kPeakBitRate);
    PushMembersToEdits();
}

void SettingsDialogModel::OnVolumeSliderMoved(std::int32_t position)
{
    volumeSlider.SetPosition(position);
    m_Settings.volume = volumeSlider.position - kVolumeSliderOffset;
    m_Members[Index(SettingsEdit::Volume)] = m_Settings.volume;
    m_Device.WriteVolumeField();
    m_Device.SetVolume();
    PushMembersToEdits();
}

void SettingsDialogModel::OnInputChosen(bool bSVideo)
{
    m_Settings.input = bSVideo ? 1 : 0;
    bSVideoChecked = bSVideo;
    bCompositeChecked = !bSVideo;
    m_Device.SetInputRoute();
}

void SettingsDialogModel::OnMpeg2Chosen()
{
    bVbrEnabled = bPeakBitRateEnabled = true;
    m_Settings.mpeg1 = 0;
    m_Settings.bitRate = m_Settings.peakBitRate = kMpeg2BitRate;
    if (m_Settings.tvStandard == 1)
        m_Settings.width = 352, m_Settings.height = 480;
    else if (m_Settings.tvStandard == 16)
        m_Settings.width = 352, m_Settings.height = 576;
    m_Device.WriteEncoderFields(DevicePropertyAccess::kAllEncoderFields);
    EnablePeakBitRateForVbr();
    m_Device.SetEncoderSettings();
    m_Device.GetEncoderCaps();
    RefreshSizeList(true);
    RefreshBitRateSliders();
    bMpeg2Checked = true;
    bMpeg1Checked = false;
}

void SettingsDialogModel::OnMpeg1Chosen()
{
    m_Settings.bitRate = m_Settings.peakBitRate = kMpeg1BitRate;
    m_Settings.mpeg1 = 1;
    m_Settings.vbr = 0;
    if (m_Settings.tvStandard == 1)
        m_Settings.width = 320, m_Settings.height = 240;
    else if (m_Settings.tvStandard == 16)
        m_Settings.width = 320, m_Settings.height = 288;
    m_Device.WriteEncoderFields(DevicePropertyAccess::kAllEncoderFields);
    m_Device.SetEncoderSettings();
    m_Device.GetEncoderCaps();
    RefreshSizeList(true);
    RefreshBitRateSliders();
    bVbrEnabled = bPeakBitRateEnabled = false;
    bMpeg1Checked = true;
    bMpeg2Checked = false;
}

void SettingsDialogModel::OnStandardChosen(bool bNtsc)
{
    m_Settings.tvStandard = bNtsc ? 1 : 16;
    bNtscChecked = bNtsc;
    bPalChecked = !bNtsc;
    m_Device.SetTvFormat();
    m_Device.GetEncoderCaps();
}

void SettingsDialogModel::OnSizeSelected(int index)
{
    const std::vector<OfferedSize> sizes = m_Device.OfferedSizes();
    if (index < 0 || index >= int(sizes.size()))
        return;
    sizeList.selection = index;
    m_Settings.width = sizes[std::size_t(index)].width;
    m_Settings.height = sizes[std::size_t(index)].height;
    SendEncoderFields(DevicePropertyAccess::kWidth | DevicePropertyAccess::kHeight);
}

void SettingsDialogModel::OnVbrToggled(bool bChecked)
{
    m_Settings.vbr = bChecked ? 1 : 0;
    bVbrChecked = bChecked;
    EnablePeakBitRateForVbr();
    SendEncoderFields(DevicePropertyAccess::kVbr);
}

void SettingsDialogModel::OnRateSelected(int index)
{
    const std::vector<std::int32_t> rates = m_Device.OfferedRates();
    if (index < 0 || index >= int(rates.size()))
        return;
    rateList.selection = index;
    m_Settings.sampleRate = rates[std::size_t(index)];
    m_Device.WriteAudioFields(DevicePropertyAccess::kSampleRate);
    m_Device.SetAudioSettings();
}

void SettingsDialogModel::OnPesHeaderToggled(bool bChecked)
{
    m_Settings.pesHeader = bChecked ? 1 : 0;
    bPesHeaderChecked = bChecked;
    m_Device.WriteAudioFields(DevicePropertyAccess::kPesHeader);
    m_Device.SetAudioSettings();
}

void SettingsDialogModel::OnByteOrderChosen(bool bPcm)
{
    m_Settings.byteSwap = bPcm ? 1 : 0;
    bPcmChecked = bPcm;
    bLpcmChecked = !bPcm;
    m_Device.WriteAudioFields(DevicePropertyAccess::kByteSwap);
    m_Device.SetAudioSettings();
}

void SettingsDialogModel::OnMuteToggled(bool bChecked)
{
    m_Settings.mute = bChecked ? 1 : 0;
    bMuteChecked = bChecked;
    m_Device.WriteMuteField();
    m_Device.SetMute();
}

void SettingsDialogModel::OnEnablePassthrough()
{
    m_Device.EnablePassthrough();
}

void SettingsDialogModel::OnSetProcAmp()
{
    ReadEdits();
    const int selected = m_Settings.selectedProcAmp;
    if (selected < 0 || selected >= int(kProcAmpCount))
        return;
    ProcAmpSetting& property = m_Settings.procAmp[std::size_t(selected)];
    const auto typed = std::int32_t(m_Members[Index(SettingsEdit::ProcAmpValue)]);
    if (std::optional<std::int32_t> value = Validated(typed, property.min, property.max))
        property.value = *value;
    m_Device.WriteProcAmpValue(property.value);
    procAmpSlider.SetPosition(property.value);
    m_Device.SetProcAmpValue();
}

void SettingsDialogModel::OnCaptureFileChosen(const std::string& path)
{
    m_Settings.captureFile = Truncated(path);
    captureFileEdit = m_Settings.captureFile;
}

void SettingsDialogModel::OnPlaybackFileChosen(const std::string& path)
{
    m_Settings.playbackFile = Truncated(path);
    playbackFileEdit = m_Settings.playbackFile;
}

void SettingsDialogModel::OnOk()
{
    ReadEdits();
    m_Settings.timeLimitMinutes = std::int32_t(m_Members[Index(SettingsEdit::TimeLimit)]);
    const auto fileSize = std::int32_t(m_Members[Index(SettingsEdit::FileSizeLimit)]);
    if (fileSize >= 1 && fileSize <= kMaxFileSizeLimitMB)
        m_Settings.fileSizeLimitMB = fileSize;
    else
        m_Report.ShowMessage(Format("Enter value between 1 to %d", kMaxFileSizeLimitMB));
    m_Settings.playbackFile = Truncated(playbackFileEdit);
    m_Settings.captureFile = Truncated(captureFileEdit);

    const auto typedBitRate = std::int32_t(m_Members[Index(SettingsEdit::BitRate)]);
    if (auto bitRate = Validated(typedBitRate, m_Settings.bitRateMin, m_Settings.bitRateMax))
        m_Settings.bitRate = m_Settings.peakBitRateMin = *bitRate;
    const auto typedPeak = std::int32_t(m_Members[Index(SettingsEdit::PeakBitRate)]);
    if (auto peak = Validated(typedPeak, m_Settings.peakBitRateMin, m_Settings.peakBitRateMax))
        m_Settings.peakBitRate = *peak;
    SendEncoderFields(DevicePropertyAccess::kAllEncoderFields);

    const auto typedVolume = std::int32_t(m_Members[Index(SettingsEdit::Volume)]);
    if (auto volume = Validated(typedVolume, m_Settings.volumeMin, m_Settings.volumeMax))
        m_Settings.volume = *volume;
    m_Device.WriteVolumeField();
    m_Device.SetVolume();
}

SettingsDialogModel::FileDialogRequest SettingsDialogModel::CaptureFileDialog()
{
    return {"ALL", "*.mpg", "MPEG2 Files (*.mpg)|*.mpg|", true};
}

SettingsDialogModel::FileDialogRequest SettingsDialogModel::PlaybackFileDialog() const
{
    return {nullptr, nullptr,
            Developer() ? "Video Files (*.mpg;*.c3s;*.kvx)|*.mpg; *.c3s; *.kvx||"
                        : "Video Files (*.mpg;*.kvx)|*.mpg; *.kvx||",
            false};
}
