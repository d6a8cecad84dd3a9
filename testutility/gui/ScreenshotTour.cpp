#include "ScreenshotTour.h"

#include "MainWindow.h"
#include "VideoSurface.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>

#include <cstdio>

namespace
{
using namespace MenuCommand;

// Time for the preview to settle before the picture, and for a dialog to draw.
constexpr int kPreviewSettleMs = 2500;
constexpr int kDialogDrawMs = 500;
} // namespace

ScreenshotTour::ScreenshotTour(MainWindow& window, QString folder)
    : QObject(&window), m_Window(window), m_Folder(std::move(folder))
{
}

void ScreenshotTour::Start()
{
    QDir().mkpath(m_Folder);
    connect(m_Window.Video(), &VideoSurface::FirstPicture, this,
            [this] { QTimer::singleShot(kPreviewSettleMs, this, &ScreenshotTour::TakeMainWindow); },
            Qt::SingleShotConnection);
    QTimer::singleShot(0, this, [this] { m_Window.Model().OnCommand(kCaptureAudioVideoPreview); });
}

void ScreenshotTour::TakeMainWindow()
{
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
