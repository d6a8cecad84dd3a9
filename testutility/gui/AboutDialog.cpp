#include "AboutDialog.h"

#include "AppIcon.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

AboutDialog::AboutDialog(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle("About Marvek/Tellin Test Utility");
    auto* pLayout = new QGridLayout(this);
    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(AppIcon().pixmap(32, 32));
    pLayout->addWidget(pIcon, 0, 0, 2, 1, Qt::AlignTop);
    pLayout->addWidget(new QLabel("Marvek/Tellin Test Utility ", this), 0, 1);
    pLayout->addWidget(new QLabel("Version", this), 1, 1);
    pLayout->addWidget(new QLabel("2.10", this), 1, 2);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    pLayout->addWidget(pButtons, 2, 0, 1, 3);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}
