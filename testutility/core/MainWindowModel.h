#pragma once

// The main window "Marvek/Tellin Test Utility" without its window: start-up (the
// device found, the graph made, the device's state read), the operation mode, which
// menu items are enabled, the commands, the graph-event drain and the time-limit
// timers. The windowed program draws the menus from here and forwards its commands,
// timers and graph notifications; everything it must show or ask goes through the
// view.

#include "AppSettings.h"
#include "CaptureGraph.h"
#include "GraphContext.h"
#include "OperationHost.h"
#include "PlaybackGraph.h"

#include <map>
#include <string>

// Menu command identifiers.
namespace MenuCommand
{
inline constexpr int kSettings = 32780;
inline constexpr int kExit = 32781;
inline constexpr int kCaptureWithoutPreview = 32771;
inline constexpr int kCaptureVideoPreview = 32772;
inline constexpr int kCaptureAudioVideoPreview = 32774;
inline constexpr int kCaptureStop = kCaptureStopCommand;
inline constexpr int kPlaybackWithoutPreview = 32776;
inline constexpr int kPlaybackVideoPreview = 32777;
inline constexpr int kPlaybackAudioPreview = 32778;
inline constexpr int kPlaybackAudioVideoPreview = 32783;
inline constexpr int kPlaybackStop = kPlaybackStopCommand;
inline constexpr int kConvert = 32784;
inline constexpr int kPlaybackC3S = 32785;
inline constexpr int kC3StreamStop = kC3StreamStopCommand;
inline constexpr int kAbout = 32782;
inline constexpr int kSystemAbout = 16;
} // namespace MenuCommand

enum class OperationMode
{
    Idle = 0,
    Capture = 1,
    Playback = 2,
    C3Stream = 3,
};

// What the main window model needs from the window.
class MainWindowView : public UserReport
{
public:
    virtual void ShowBanner(const std::string& text) = 0;
    virtual int PumpMessages() = 0;
    virtual void SetTimer(int id, unsigned milliseconds) = 0;
    virtual void KillTimer(int id) = 0;
    // The menus changed: draw them again from the model.
    virtual void MenuStateChanged() = 0;
    // Modal dialogs; the conversion dialog answers whether it ended with OK.
    virtual void RunSettingsDialog() = 0;
    virtual bool RunConvertDialog() = 0;
    virtual void RunAboutBox() = 0;
    virtual void CloseWindow() = 0;
    virtual OAHWND VideoOwner() const = 0;
    virtual ClientRect BannerRect() const = 0;
};

// Whether the command line turns developer mode on: its first argument, compared
// with "/Developer" in any letter case.
bool IsDeveloperSwitch(int argc, const char* const* argv);

class MainWindowModel : private OperationHost
{
public:
    static constexpr const char* kTitle = "Marvek/Tellin Test Utility";

    MainWindowModel(AppSettings& settings, MainWindowView& view);

    // The window's initialisation; false when the program must end (the user has
    // been told why).
    bool Initialize();
    // Whether the "&C3 Stream" menu exists (developer mode).
    bool HasC3StreamMenu() const { return m_Settings.developer != 0; }
    bool IsEnabled(int command) const;
    OperationMode Mode() const { return m_Mode; }

    void OnCommand(int command);
    // The graph's notification: drains its events.
    void OnGraphNotify();
    void OnTimer(int id);

    GraphContext& Context() { return m_Context; }

private:
    // OperationHost, for the graphs.
    void ShowMessage(const std::string& text) override { m_View.ShowMessage(text); }
    void ShowError(const std::string& text) override { m_View.ShowError(text); }
    void Diagnostic(const std::string& line) override { m_View.Diagnostic(line); }
    void DebugOutput(const std::string& line) override { m_View.DebugOutput(line); }
    void ShowBanner(const std::string& text) override { m_View.ShowBanner(text); }
    int PumpMessages() override { return m_View.PumpMessages(); }
    void SetTimer(int id, unsigned milliseconds) override { m_View.SetTimer(id, milliseconds); }
    void KillTimer(int id) override { m_View.KillTimer(id); }
    void BeginOperation(int stopCommand) override;
    void EndOperation(int stopCommand) override;
    OAHWND VideoOwner() const override { return m_View.VideoOwner(); }
    ClientRect BannerRect() const override { return m_View.BannerRect(); }

    void Enable(int command, bool bEnabled);
    void DisableStartCommands();
    void EnableStartCommands();
    // Takes the playback kind from the playback file; the Playback items follow it
    // only while the start commands are enabled.
    void UpdatePlaybackMenu(bool bStartCommandsEnabled);
    // A start command's first step: the mode, and Settings greyed outside
    // developer mode.
    void EnterMode(OperationMode mode);
    void StartCapture(bool bVideoPreview, bool bAudioPreview);
    void StartPlayback(OperationMode mode, bool bVideoPreview, bool bAudioPreview);
    void RunSettings();
    void RunConversion();
    void StopCurrentOperation();
    void Exit();

    AppSettings& m_Settings;
    MainWindowView& m_View;
    GraphContext m_Context;
    CaptureGraph m_Capture;
    PlaybackGraph m_Playback;
    OperationMode m_Mode = OperationMode::Idle;
    std::map<int, bool> m_Enabled;
};
