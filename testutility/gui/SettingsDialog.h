#pragma once

// "DeveloperTest": the settings dialog's window over its model. Each control
// forwards its notification to the model's handler and then shows the model's
// state again; the integer edits hand their texts to the model before Set and OK.
// Controls are named by their identifiers (objectName "1017" and so on).

#include "SettingsDialogModel.h"

#include <QDialog>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;

class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    SettingsDialog(AppSettings& settings, UserReport& report, QWidget* pParent);

    SettingsDialogModel& Model() { return m_Model; }
    void accept() override;

private:
    void BuildControls();
    QWidget* BuildVideoGroup();
    QWidget* BuildChoiceGroups();
    QWidget* BuildModeParameters();
    QWidget* BuildAudioParameters();
    QWidget* BuildFilesGroup();
    void Connect();
    // Runs a handler, then shows the model's state.
    template <class Handler> void Handle(Handler handler);
    void ShowModel();
    void TakeEditTexts();
    void BrowseCaptureFile();
    void BrowsePlaybackFile();

    SettingsDialogModel m_Model;
    bool m_bShowing = false;

    QListWidget* m_pProcAmpList = nullptr;
    QSlider* m_pProcAmpSlider = nullptr;
    QPushButton* m_pSetButton = nullptr;
    QRadioButton* m_pSVideo = nullptr;
    QRadioButton* m_pComposite = nullptr;
    QRadioButton* m_pMpeg2 = nullptr;
    QRadioButton* m_pMpeg1 = nullptr;
    QRadioButton* m_pNtsc = nullptr;
    QRadioButton* m_pPal = nullptr;
    QComboBox* m_pSizes = nullptr;
    QCheckBox* m_pVbr = nullptr;
    QSlider* m_pBitRateSlider = nullptr;
    QSlider* m_pPeakSlider = nullptr;
    QComboBox* m_pRates = nullptr;
    QSlider* m_pVolumeSlider = nullptr;
    QCheckBox* m_pMute = nullptr;
    QCheckBox* m_pPesHeader = nullptr;
    QGroupBox* m_pByteOrderGroup = nullptr;
    QRadioButton* m_pPcm = nullptr;
    QRadioButton* m_pLpcm = nullptr;
    QLineEdit* m_pCaptureFile = nullptr;
    QLineEdit* m_pPlaybackFile = nullptr;
    QPushButton* m_pBrowseCapture = nullptr;
    QPushButton* m_pBrowsePlayback = nullptr;
    QPushButton* m_pPassthrough = nullptr;
    std::array<QLineEdit*, kSettingsEditCount> m_Edits{};
    // The texts the edits were last given from the model.
    std::array<std::string, kSettingsEditCount> m_ShownEdits;
    std::string m_ShownCaptureFile;
    std::string m_ShownPlaybackFile;
};
