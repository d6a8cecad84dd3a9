// MarvekKSTest: the windowed device test utility. "/Developer" as the first
// argument, in any letter case, turns developer mode on.

#include "ComScope.h"
#include "MainWindow.h"
#include "ScreenshotTour.h"

#include <QApplication>

#include <chrono>
#include <csignal>
#include <cstdlib>

int main(int argc, char** argv)
{
    const auto started = std::chrono::steady_clock::now();
    // A file-size limit is a write error like any other, not the end of the program.
    std::signal(SIGXFSZ, SIG_IGN);
    AppSettings settings;
    settings.developer = IsDeveloperSwitch(argc, argv) ? 1 : 0;
    QApplication application(argc, argv);
    ComScope com;
    MainWindow window(settings);
    if (!window.Initialize())
        return 1;
    window.show();
    if (const char* pszFolder = std::getenv("MARVEK_SCREENSHOTS"))
        (new ScreenshotTour(window, pszFolder, started))->Start();
    return application.exec();
}
