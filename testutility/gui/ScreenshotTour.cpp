#include "ScreenshotTour.h"

#include "MainWindow.h"
#include "VideoSurface.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>

#include <cstdio>

#include <sys/resource.h>

namespace
{
using namespace MenuCommand;

// Time for the preview to settle before the picture, and for a dialog to draw.
constexpr int kPreviewSettleMs = 2500;
constexpr int kDialogDrawMs = 500;
} // namespace

ScreenshotTour::ScreenshotTour(MainWindow& window, QString folder,
                               std::chrono::steady_clock::time_point started)
    : QObject(&window), m_Window(window), m_Folder(std::move(folder)), m_Started(started)
{
}

void ScreenshotTour::Start()
{
    QDir().mkpath(m_Folder);
    connect(
        m_Window.Video(), &VideoSurface::FirstPicture, this,
        [this]
        {
            m_ProcessorAtFirstPicture = ProcessorSeconds();
            const auto elapsed = std::chrono::steady_clock::now() - m_Started;
            std::printf("first preview picture %lld ms after the program started\n",
                        (long long)std::chrono::duration_cast<std::chrono::milliseconds>(elapsed)
                            .count());
            QTimer::singleShot(kPreviewSettleMs, this, &ScreenshotTour::TakeMainWindow);
        },
        Qt::SingleShotConnection);
    QTimer::singleShot(0, this, [this] { m_Window.Model().OnCommand(kCaptureAudioVideoPreview); });
}

void ScreenshotTour::TakeMainWindow()
{
    const double share =
        (ProcessorSeconds() - m_ProcessorAtFirstPicture) / (kPreviewSettleMs / 1000.0);
    std::printf("previewing the capture used %.0f%% of a core\n", share * 100);
    Save(&m_Window, "main-window.png");
    TakeDialog(kSettings, "settings-dialog.png");
    m_Window.Model().OnCommand(kCaptureStop);
    TakeDialog(kConvert, "convert-dialog.png");
    m_Window.close();
}

void ScreenshotTour::TakeDialog(int command, const QString& name)
{
    QTimer::singleShot(kDialogDrawMs, this,
                       [this, name]
                       {
                           if (auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                           {
                               Save(pDialog, name);
                               pDialog->reject();
                           }
                       });
    m_Window.Model().OnCommand(command);
}

void ScreenshotTour::Save(QWidget* pWidget, const QString& name)
{
    const QString path = QDir(m_Folder).filePath(name);
    const bool bSaved = pWidget->window()->grab().save(path);
    std::printf("%s %s\n", bSaved ? "saved" : "could not save", qPrintable(path));
}

double ScreenshotTour::ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
