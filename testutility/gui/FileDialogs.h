#pragma once

// Opens a file dialog described the way the utility's dialogs describe theirs (a
// filter string of "Description|patterns|" pairs, a default extension, an initial
// name); returns the chosen path, or an empty string when cancelled.

#include "SettingsDialogModel.h"

#include <QString>
#include <QWidget>

QString ChooseFile(QWidget* pParent, const SettingsDialogModel::FileDialogRequest& request);

// "MPEG2 Files (*.mpg)|*.mpg|" as Qt's name filters: "MPEG2 Files (*.mpg)".
QStringList NameFilters(const char* pszFilter);
