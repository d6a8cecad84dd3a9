#include "MainWindowModel.h"

#include "DevicePropertyAccess.h"
#include "GraphEvents.h"

#include <strings.h>

namespace
{
using namespace MenuCommand;

constexpr int kStartCommands[] = {kCaptureWithoutPreview,  kCaptureVideoPreview,
                                  kCaptureAudioVideoPreview, kPlaybackWithoutPreview,
                                  kPlaybackVideoPreview,   kPlaybackAudioPreview,
                                  kPlaybackAudioVideoPreview};
constexpr int kMpegPlaybackCommands[] = {kPlaybackWithoutPreview, kPlaybackVideoPreview,
                                         kPlaybackAudioPreview, kPlaybackAudioVideoPreview};
} // namespace

bool IsDeveloperSwitch(int argc, const char* const* argv)
{
    return argc >= 2 && argv[1] && strcasecmp(argv[1], "/Developer") == 0;
}

MainWindowModel::MainWindowModel(AppSettings& settings, MainWindowView& view)
    : m_Settings(settings), m_View(view), m_Context(view), m_Capture(m_Context, settings, *this),
      m_Playback(m_Context, settings, *this)
{
}

bool MainWindowModel::Initialize()
{
    if (!m_Context.FindCaptureDevice())
    {
        Exit();
        return false;
    }
    UpdatePlaybackMenu(true);
    m_Mode = OperationMode::Idle;
    for (int command : {kCaptureStop, kPlaybackStop, kC3StreamStop})
        Enable(command, false);
    if (m_Context.DeviceFilter())
    {
        m_Context.PublishTo(m_Settings);
        DevicePropertyAccess(m_Settings).ReadAtStartup();
    }
    else
    {
        m_View.ShowMessage("Video Device Not Found");
    }
    m_View.ShowBanner("");
    m_View.MenuStateChanged();
    return true;
}

bool MainWindowModel::IsEnabled(int command) const
{
    const bool bC3Command =
        command == kConvert || command == kPlaybackC3S || command == kC3StreamStop;
    if (bC3Command && !HasC3StreamMenu())
        return false;
    const auto found = m_Enabled.find(command);
    return found == m_Enabled.end() || found->second;
}

void MainWindowModel::Enable(int command, bool bEnabled)
{
    m_Enabled[command] = bEnabled;
}

void MainWindowModel::DisableStartCommands()
{
    for (int command : kStartCommands)
        Enable(command, false);
    Enable(kConvert, false);
    Enable(kPlaybackC3S, false);
}

void MainWindowModel::EnableStartCommands()
{
    for (int command : kStartCommands)
        Enable(command, true);
    if (HasC3StreamMenu())
        Enable(kConvert, true);
    UpdatePlaybackMenu(true);
}

// After the settings dialog an operation may be running (developer mode): its start
// commands stay grey, so that a second operation cannot start in the same graph.
void MainWindowModel::UpdatePlaybackMenu(bool bStartCommandsEnabled)
{
    m_Settings.playbackKind = PlaybackKindOf(m_Settings.playbackFile);
    if (!bStartCommandsEnabled)
        return;
    const bool bMpeg = m_Settings.playbackKind == PlaybackKind::Mpeg;
    for (int command : kMpegPlaybackCommands)
        Enable(command, bMpeg);
    Enable(kPlaybackC3S, !bMpeg && HasC3StreamMenu());
}

void MainWindowModel::BeginOperation(int stopCommand)
{
    Enable(stopCommand, true);
    DisableStartCommands();
    m_View.MenuStateChanged();
}

void MainWindowModel::EndOperation(int stopCommand)
{
    Enable(stopCommand, false);
    Enable(kSettings, true);
    EnableStartCommands();
    m_Mode = OperationMode::Idle;
    m_View.MenuStateChanged();
}

void MainWindowModel::EnterMode(OperationMode mode)
{
    m_Mode = mode;
    if (!m_Settings.developer)
        Enable(kSettings, false);
    m_View.MenuStateChanged();
}

void MainWindowModel::OnCommand(int command)
{
    if (!IsEnabled(command))
        return;
    switch (command)
    {
    case kSettings:
        return RunSettings();
    case kExit:
        return Exit();
    case kCaptureWithoutPreview:
        return StartCapture(false, false);
    case kCaptureVideoPreview:
        return StartCapture(true, false);
    case kCaptureAudioVideoPreview:
        return StartCapture(true, true);
    case kCaptureStop:
        return m_Capture.Stop();
    case kPlaybackWithoutPreview:
        return StartPlayback(OperationMode::Playback, false, false);
    case kPlaybackVideoPreview:
        return StartPlayback(OperationMode::Playback, true, false);
    case kPlaybackAudioPreview:
        return StartPlayback(OperationMode::Playback, false, true);
    case kPlaybackAudioVideoPreview:
        return StartPlayback(OperationMode::Playback, true, true);
    case kPlaybackStop:
        return m_Playback.StopPlayback();
    case kConvert:
        return RunConversion();
    case kPlaybackC3S:
        return StartPlayback(OperationMode::C3Stream, false, false);
    case kC3StreamStop:
        return m_Playback.StopC3Stream();
    case kAbout:
    case kSystemAbout:
        return m_View.RunAboutBox();
    default:
        return;
    }
}

void MainWindowModel::StartCapture(bool bVideoPreview, bool bAudioPreview)
{
    EnterMode(OperationMode::Capture);
    m_Capture.Start(bVideoPreview, bAudioPreview);
}

void MainWindowModel::StartPlayback(OperationMode mode, bool bVideoPreview, bool bAudioPreview)
{
    EnterMode(mode);
    m_Playback.Start(bVideoPreview, bAudioPreview);
}

void MainWindowModel::RunSettings()
{
    m_Context.PublishTo(m_Settings);
    m_View.RunSettingsDialog();
    UpdatePlaybackMenu(m_Mode == OperationMode::Idle);
    m_View.MenuStateChanged();
}

void MainWindowModel::RunConversion()
{
    EnterMode(OperationMode::C3Stream);
    if (!m_View.RunConvertDialog())
    {
        m_Mode = OperationMode::Idle;
        return;
    }
    m_Settings.convertMode = 1;
    m_Playback.Start(false, false);
    m_Settings.convertMode = 0;
}

// Once an ending event is seen, every further event of the same drain stops the
// operation of the mode again; the mode is then idle, so it does nothing.
void MainWindowModel::OnGraphNotify()
{
    IMediaEventEx* pEvents = m_Context.MediaEvent();
    if (!pEvents)
        return;
    bool bEnding = false;
    LONG code = 0;
    LONG_PTR param1 = 0;
    LONG_PTR param2 = 0;
    while (pEvents->GetEvent(&code, &param1, &param2, 0) == S_OK)
    {
        pEvents->FreeEventParams(code, param1, param2);
        const GraphEventEffect effect = EffectOfGraphEvent(code);
        if (effect.pszMessage)
            m_View.ShowMessage(effect.pszMessage);
        bEnding = bEnding || effect.bEndsOperation;
        if (bEnding)
            StopCurrentOperation();
    }
}

void MainWindowModel::StopCurrentOperation()
{
    switch (m_Mode)
    {
    case OperationMode::Capture:
        return m_Capture.Stop();
    case OperationMode::Playback:
        return m_Playback.StopPlayback();
    case OperationMode::C3Stream:
        return m_Playback.StopC3Stream();
    case OperationMode::Idle:
        return;
    }
}

void MainWindowModel::OnTimer(int id)
{
    if (id == kCaptureTimer)
    {
        m_View.KillTimer(kCaptureTimer);
        if (m_Mode == OperationMode::Capture)
            m_Capture.Stop();
    }
    else if (id == kPlaybackTimer)
    {
        m_View.KillTimer(kPlaybackTimer);
        if (m_Mode == OperationMode::Playback)
            m_Playback.StopPlayback();
        else if (m_Mode == OperationMode::C3Stream)
            m_Playback.StopC3Stream();
    }
}

void MainWindowModel::Exit()
{
    m_Context.StopGraph();
    m_Context.VideoWindow().Reset();
    if (m_Mode == OperationMode::Capture)
        m_Context.RemoveCaptureFilters();
    else if (m_Mode != OperationMode::Idle)
        m_Context.RemovePlaybackFilters();
    m_View.CloseWindow();
}
