#pragma once

// Takes the README's pictures from the running program: the main window while it
// captures with a live preview, the settings dialog opened during that capture, and
// the conversion dialog; then the program ends. Started by main when the
// environment names a folder in MARVEK_SCREENSHOTS.

#include <QObject>
#include <QString>

class MainWindow;

class ScreenshotTour : public QObject
{
    Q_OBJECT

public:
    ScreenshotTour(MainWindow& window, QString folder);
    void Start();

private:
    void TakeMainWindow();
    // Runs the command, whose dialog is modal, and saves and cancels that dialog once
    // it shows.
    void TakeDialog(int command, const QString& name);
    void Save(QWidget* pWidget, const QString& name);

    MainWindow& m_Window;
    const QString m_Folder;
};
