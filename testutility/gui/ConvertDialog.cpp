#include "ConvertDialog.h"

#include "FileDialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ConvertDialog::ConvertDialog(AppSettings& settings, QWidget* pParent)
    : QDialog(pParent), m_Model(settings), m_pSource(new QLineEdit(this)),
      m_pTarget(new QLineEdit(this))
{
    setWindowTitle(ConvertDialogModel::kTitle);
    m_pSource->setObjectName("1018");
    m_pTarget->setObjectName("1019");
    auto* pBrowseSource = new QPushButton("...", this);
    auto* pBrowseTarget = new QPushButton("...", this);
    pBrowseSource->setObjectName("1020");
    pBrowseTarget->setObjectName("1021");
    auto* pLayout = new QGridLayout(this);
    pLayout->addWidget(new QLabel("Mpeg File", this), 0, 0);
    pLayout->addWidget(m_pSource, 0, 1);
    pLayout->addWidget(pBrowseSource, 0, 2);
    pLayout->addWidget(new QLabel("C3S File", this), 1, 0);
    pLayout->addWidget(m_pTarget, 1, 1);
    pLayout->addWidget(pBrowseTarget, 1, 2);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    pLayout->addWidget(pButtons, 2, 0, 1, 3);
    pLayout->setColumnMinimumWidth(1, 260);
    connect(pButtons, &QDialogButtonBox::accepted, this, &ConvertDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pBrowseSource, &QPushButton::clicked, this, [this] { Browse(true); });
    connect(pBrowseTarget, &QPushButton::clicked, this, [this] { Browse(false); });
}

void ConvertDialog::Browse(bool bSource)
{
    const QString path =
        ChooseFile(this, bSource ? ConvertDialogModel::SourceDialog() : ConvertDialogModel::TargetDialog());
    if (path.isEmpty())
        return;
    if (bSource)
    {
        m_Model.OnSourceChosen(path.toStdString());
        m_pSource->setText(QString::fromStdString(m_Model.sourceEdit));
    }
    else
    {
        m_Model.OnTargetChosen(path.toStdString());
        m_pTarget->setText(QString::fromStdString(m_Model.targetEdit));
    }
}

void ConvertDialog::accept()
{
    m_Model.sourceEdit = m_pSource->text().toStdString();
    m_Model.targetEdit = m_pTarget->text().toStdString();
    m_Model.OnOk();
    QDialog::accept();
}
