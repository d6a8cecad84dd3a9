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

QString ChooseFile(QWidget* pParent, const SettingsDialogModel::FileDialogRequest& request)
{
    QFileDialog dialog(pParent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(NameFilters(request.pszFilter));
    if (request.pszDefaultExtension)
        dialog.setDefaultSuffix(QString::fromUtf8(request.pszDefaultExtension));
    if (request.pszInitialName)
        dialog.selectFile(QString::fromUtf8(request.pszInitialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}
