#pragma once

// "Convert MPEG to C3S": the source and target names, with a browse button each.

#include "ConvertDialogModel.h"

#include <QDialog>

class QLineEdit;

class ConvertDialog : public QDialog
{
    Q_OBJECT

public:
    ConvertDialog(AppSettings& settings, QWidget* pParent);

    void accept() override;

private:
    void Browse(bool bSource);

    ConvertDialogModel m_Model;
    QLineEdit* m_pSource;
    QLineEdit* m_pTarget;
};
