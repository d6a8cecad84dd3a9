#pragma once

// What the capture, playback and conversion operations need from the window that
// runs them: the banner, the message pump, the time-limit timers, the Stop item of
// the running operation, and where a video window goes. The windowed program is one
// host; the command line is another.

#include "UserReport.h"

#include <dshow/VideoWindow.h>

// Menu command identifiers of the Stop items and the operations' timers.
inline constexpr int kCaptureStopCommand = 32775;
inline constexpr int kPlaybackStopCommand = 32779;
inline constexpr int kC3StreamStopCommand = 32786;
inline constexpr int kCaptureTimer = 101;
inline constexpr int kPlaybackTimer = 102;

// PumpMessages' answers.
inline constexpr int kPumpIdle = 1;
inline constexpr int kPumpQuit = 100;

struct ClientRect
{
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

class OperationHost : public UserReport
{
public:
    // Replaces the banner text; an empty text clears it.
    virtual void ShowBanner(const std::string& text) = 0;
    // Processes pending messages; kPumpQuit when the quit message was seen.
    virtual int PumpMessages() = 0;
    virtual void SetTimer(int id, unsigned milliseconds) = 0;
    virtual void KillTimer(int id) = 0;
    // A start enables its own Stop item and greys the start commands; a stop greys it
    // again, enables the settings and start commands and returns to idle.
    virtual void BeginOperation(int stopCommand) = 0;
    virtual void EndOperation(int stopCommand) = 0;
    // The owner of video windows (0: none) and the banner's client rectangle they cover.
    virtual OAHWND VideoOwner() const = 0;
    virtual ClientRect BannerRect() const = 0;
};
