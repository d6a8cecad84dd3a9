#pragma once

// "About Marvek/Tellin Test Utility": the icon, the program's name and version,
// and OK.

#include <QDialog>

class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* pParent);
};
