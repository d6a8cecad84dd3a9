#pragma once

// The one QApplication of a test program, made on first use on Qt's offscreen
// platform unless the environment names another. It is never destroyed: torn down
// among the program's other statics at exit, Qt's device registry crashes.

#include <QApplication>

#include <cstdlib>

inline QApplication& TestApplication()
{
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication* pApplication = new QApplication(argc, argv);
    return *pApplication;
}
