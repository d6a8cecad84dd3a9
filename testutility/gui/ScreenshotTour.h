#pragma once

// Takes the README's pictures from the running program: the main window while it
// captures with a live preview, the settings dialog opened during that capture, and
// the conversion dialog; then the program ends. Started by main when the
// environment names a folder in MARVEK_SCREENSHOTS. It also prints how long the
// first preview picture took from the program's start and the processor share of
// the preview that follows.

#include <QObject>
#include <QString>

#include <chrono>

class MainWindow;

class ScreenshotTour : public QObject
{
    Q_OBJECT

public:
    // started: when the program started, for the time to the first preview picture.
    ScreenshotTour(MainWindow& window, QString folder,
                   std::chrono::steady_clock::time_point started);
    void Start();

private:
    void TakeMainWindow();
    // Runs the command, whose dialog is modal, and saves and cancels that dialog once
    // it shows.
    void TakeDialog(int command, const QString& name);
    void Save(QWidget* pWidget, const QString& name);
    // Processor seconds the program has used so far.
    static double ProcessorSeconds();

    MainWindow& m_Window;
    const QString m_Folder;
    const std::chrono::steady_clock::time_point m_Started;
    double m_ProcessorAtFirstPicture = 0;
};
