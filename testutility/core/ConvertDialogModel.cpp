#include "ConvertDialogModel.h"

SettingsDialogModel::FileDialogRequest ConvertDialogModel::SourceDialog()
{
    return {"ALL", "*.mpg", "MPEG2 Files (*.mpg)|*.mpg|", false};
}

SettingsDialogModel::FileDialogRequest ConvertDialogModel::TargetDialog()
{
    return {"ALL", "*.c3s", "C3 Stream Files (*.c3s)|*.c3s|", false};
}

void ConvertDialogModel::OnSourceChosen(const std::string& path)
{
    m_Settings.convertSource = path.substr(0, kMaxPathChars);
    sourceEdit = m_Settings.convertSource;
}

void ConvertDialogModel::OnTargetChosen(const std::string& path)
{
    m_Settings.convertTarget = path.substr(0, kMaxPathChars);
    targetEdit = m_Settings.convertTarget;
}

void ConvertDialogModel::OnOk()
{
    m_Settings.convertSource = sourceEdit.substr(0, kMaxPathChars);
    m_Settings.convertTarget = targetEdit.substr(0, kMaxPathChars);
}
