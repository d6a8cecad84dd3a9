#pragma once

// The owner of the command line's video preview: on a machine with a display, a
// window of its own (the Qt application is made for it); without one, nothing, and
// the renderer draws to nothing, paced by the clock all the same.

#include <dshow/VideoWindow.h>

#include <memory>
#include <string>

class PreviewOwner
{
public:
    // A window when a display is there, else null.
    static std::unique_ptr<PreviewOwner> OpenIfDisplay(const std::string& title);
    virtual ~PreviewOwner() = default;

    virtual OAHWND Handle() = 0;
    // Lets the window draw; called from the command's waiting loop.
    virtual void ProcessEvents() = 0;
};
