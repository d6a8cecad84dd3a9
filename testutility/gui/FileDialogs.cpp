#include "FileDialogs.h"

#include <QFileDialog>

QStringList NameFilters(const char* pszFilter)
{
    QStringList filters;
    const QStringList parts = QString::fromUtf8(pszFilter).split('|');
    for (int i = 0; i + 1 < parts.size(); i += 2)
    {
        if (parts[i].isEmpty())
            continue;
        // The description carries the patterns in brackets already.
        filters << parts[i];
    }
    return filters;
}

QString ChooseFile(QWidget* pParent, const SettingsDialogModel::FileDialogSpec& spec)
{
    QFileDialog dialog(pParent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(NameFilters(spec.pszFilter));
    if (spec.pszDefaultExtension)
        dialog.setDefaultSuffix(QString::fromUtf8(spec.pszDefaultExtension));
    if (spec.pszInitialName)
        dialog.selectFile(QString::fromUtf8(spec.pszInitialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}
