#include "PreviewOwner.h"

#include "PreviewWindow.h"

#include <QApplication>

#include <cstdlib>

namespace
{
class WindowOwner : public PreviewOwner
{
public:
    explicit WindowOwner(const std::string& title)
        : m_Application(m_argc, m_argv), m_Window(QString::fromStdString(title))
    {
    }

    OAHWND Handle() override { return m_Window.OwnerHandle(); }
    void ProcessEvents() override { QCoreApplication::processEvents(); }

private:
    int m_argc = 1;
    char m_name[8] = "kstest";
    char* m_argv[2] = {m_name, nullptr};
    QApplication m_Application;
    PreviewWindow m_Window;
};

bool HasDisplay()
{
    const char* pszX = std::getenv("DISPLAY");
    const char* pszWayland = std::getenv("WAYLAND_DISPLAY");
    return (pszX && *pszX) || (pszWayland && *pszWayland);
}
} // namespace

std::unique_ptr<PreviewOwner> PreviewOwner::OpenIfDisplay(const std::string& title)
{
    if (!HasDisplay())
        return nullptr;
    return std::make_unique<WindowOwner>(title);
}
