#pragma once

// The conversion dialog "Convert MPEG to C3S" without its window: two edits that
// open empty, a browse button for each, and OK storing both names (at most 260
// characters each) as the conversion's source and target.

#include "AppSettings.h"
#include "SettingsDialogModel.h"

#include <string>

class ConvertDialogModel
{
public:
    static constexpr const char* kTitle = "Convert MPEG to C3S";

    explicit ConvertDialogModel(AppSettings& settings) : m_Settings(settings) {}

    std::string sourceEdit; // 1018, "Mpeg File"
    std::string targetEdit; // 1019, "C3S File"

    static SettingsDialogModel::FileDialogRequest SourceDialog();
    static SettingsDialogModel::FileDialogRequest TargetDialog();

    // Browse 1020 and 1021: the chosen path is stored and shown.
    void OnSourceChosen(const std::string& path);
    void OnTargetChosen(const std::string& path);
    void OnOk();

private:
    AppSettings& m_Settings;
};
