#include "SettingsDialog.h"

#include "FileDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace
{
template <class TWidget> TWidget* Named(TWidget* pWidget, const char* pszId)
{
    pWidget->setObjectName(pszId);
    return pWidget;
}

QSlider* NewSlider(QWidget* pParent, const char* pszId)
{
    auto* pSlider = Named(new QSlider(Qt::Horizontal, pParent), pszId);
    pSlider->setMinimumWidth(160);
    return pSlider;
}

QLineEdit* NewEdit(QWidget* pParent, const char* pszId, int width = 80)
{
    auto* pEdit = Named(new QLineEdit(pParent), pszId);
    pEdit->setMaximumWidth(width);
    return pEdit;
}

void ShowSlider(QSlider* pSlider, const SliderState& state)
{
    const QSignalBlocker block(pSlider);
    pSlider->setRange(state.min, state.max);
    pSlider->setValue(state.position);
}

void ShowList(QComboBox* pCombo, const ListState& state)
{
    const QSignalBlocker block(pCombo);
    pCombo->clear();
    for (const std::string& entry : state.entries)
        pCombo->addItem(QString::fromStdString(entry));
    pCombo->setCurrentIndex(state.selection);
}

// Radio buttons of one group may both be clear, which Qt's exclusive groups refuse.
void ShowRadioPair(QRadioButton* pFirst, bool bFirst, QRadioButton* pSecond, bool bSecond)
{
    const QSignalBlocker blockFirst(pFirst);
    const QSignalBlocker blockSecond(pSecond);
    pFirst->setAutoExclusive(false);
    pSecond->setAutoExclusive(false);
    pFirst->setChecked(bFirst);
    pSecond->setChecked(bSecond);
    pFirst->setAutoExclusive(true);
    pSecond->setAutoExclusive(true);
}

void ShowEditIfChanged(QLineEdit* pEdit, const std::string& text, std::string& shown)
{
    if (text == shown)
        return;
    pEdit->setText(QString::fromStdString(text));
    shown = text;
}

void ShowCheck(QCheckBox* pCheck, bool bChecked)
{
    const QSignalBlocker block(pCheck);
    pCheck->setChecked(bChecked);
}

constexpr const char* kEditIds[kSettingsEditCount] = {"1001", "1033", "1034", "1032", "1024", "1041"};
} // namespace

SettingsDialog::SettingsDialog(AppSettings& settings, UserReport& report, QWidget* pParent)
    : QDialog(pParent), m_Model(settings, report)
{
    setWindowTitle(SettingsDialogModel::kTitle);
    BuildControls();
    Connect();
    m_Model.Open();
    ShowModel();
}

void SettingsDialog::BuildControls()
{
    for (std::size_t i = 0; i < kSettingsEditCount; ++i)
        m_Edits[i] = NewEdit(this, kEditIds[i], i >= 4 ? 60 : 90);
    auto* pGrid = new QGridLayout(this);
    pGrid->addWidget(BuildVideoGroup(), 0, 0);
    pGrid->addWidget(BuildChoiceGroups(), 0, 1);
    pGrid->addWidget(BuildModeParameters(), 1, 0);
    pGrid->addWidget(BuildAudioParameters(), 1, 1);
    pGrid->addWidget(BuildFilesGroup(), 2, 0, 1, 2);

    auto* pButtons = new QDialogButtonBox(this);
    pButtons->addButton(QDialogButtonBox::Ok)->setObjectName("1");
    pButtons->addButton(QDialogButtonBox::Cancel)->setObjectName("2");
    pButtons->addButton(QDialogButtonBox::Apply)->setObjectName("1007");
    pButtons->addButton(QDialogButtonBox::Reset)->setObjectName("1031");
    pButtons->button(QDialogButtonBox::Apply)->setEnabled(false);
    pButtons->button(QDialogButtonBox::Reset)->setEnabled(false);
    pButtons->button(QDialogButtonBox::Cancel)->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    pGrid->addWidget(pButtons, 3, 0, 1, 2);
}

QWidget* SettingsDialog::BuildVideoGroup()
{
    auto* pGroup = new QGroupBox("Video Properties", this);
    auto* pLayout = new QGridLayout(pGroup);
    m_pProcAmpList = Named(new QListWidget(pGroup), "1017");
    m_pProcAmpList->setMaximumHeight(96);
    m_pProcAmpSlider = NewSlider(pGroup, "1016");
    m_pSetButton = Named(new QPushButton("Set", pGroup), "1002");
    pLayout->addWidget(m_pProcAmpList, 0, 0, 1, 3);
    pLayout->addWidget(m_pProcAmpSlider, 1, 0);
    pLayout->addWidget(m_Edits[0], 1, 1);
    pLayout->addWidget(m_pSetButton, 1, 2);
    return pGroup;
}

QWidget* SettingsDialog::BuildChoiceGroups()
{
    auto* pBox = new QWidget(this);
    auto* pLayout = new QVBoxLayout(pBox);
    pLayout->setContentsMargins(0, 0, 0, 0);
    const auto pair = [&](const char* pszGroup, QRadioButton*& pFirst, const char* pszFirst,
                          const char* pszFirstId, QRadioButton*& pSecond, const char* pszSecond,
                          const char* pszSecondId)
    {
        auto* pGroup = new QGroupBox(pszGroup, pBox);
        auto* pRow = new QHBoxLayout(pGroup);
        pFirst = Named(new QRadioButton(pszFirst, pGroup), pszFirstId);
        pSecond = Named(new QRadioButton(pszSecond, pGroup), pszSecondId);
        pRow->addWidget(pFirst);
        pRow->addWidget(pSecond);
        pLayout->addWidget(pGroup);
    };
    pair("Select Input", m_pSVideo, "S-Video", "1005", m_pComposite, "Composite", "1006");
    pair("Mode", m_pMpeg2, "Mpeg &2", "1008", m_pMpeg1, "Mpeg &1", "1009");
    pair("Standard", m_pNtsc, "&NTSC", "1010", m_pPal, "&PAL", "1011");
    return pBox;
}

QWidget* SettingsDialog::BuildModeParameters()
{
    auto* pGroup = new QGroupBox("Mode Parameters", this);
    auto* pLayout = new QGridLayout(pGroup);
    m_pSizes = Named(new QComboBox(pGroup), "1012");
    m_pVbr = Named(new QCheckBox("&VBR", pGroup), "1013");
    m_pBitRateSlider = NewSlider(pGroup, "1014");
    m_pPeakSlider = NewSlider(pGroup, "1015");
    pLayout->addWidget(new QLabel("Sizes", pGroup), 0, 0);
    pLayout->addWidget(m_pSizes, 0, 1);
    pLayout->addWidget(m_pVbr, 0, 2);
    pLayout->addWidget(new QLabel("Bit Rate", pGroup), 1, 0);
    pLayout->addWidget(m_pBitRateSlider, 1, 1);
    pLayout->addWidget(m_Edits[1], 1, 2);
    pLayout->addWidget(new QLabel("Peak Bit Rate", pGroup), 2, 0);
    pLayout->addWidget(m_pPeakSlider, 2, 1);
    pLayout->addWidget(m_Edits[2], 2, 2);
    return pGroup;
}

QWidget* SettingsDialog::BuildAudioParameters()
{
    auto* pGroup = new QGroupBox("Audio Parameters", this);
    auto* pLayout = new QGridLayout(pGroup);
    m_pRates = Named(new QComboBox(pGroup), "1025");
    m_pVolumeSlider = NewSlider(pGroup, "1026");
    m_pMute = Named(new QCheckBox("&Mute", pGroup), "1023");
    m_pPesHeader = Named(new QCheckBox("Insert PES Header", pGroup), "1035");
    m_pByteOrderGroup = Named(new QGroupBox("Bytes Swap Mode", pGroup), "1022");
    auto* pByteOrder = new QHBoxLayout(m_pByteOrderGroup);
    m_pPcm = Named(new QRadioButton("&PCM", m_pByteOrderGroup), "1036");
    m_pLpcm = Named(new QRadioButton("&LPCM", m_pByteOrderGroup), "1037");
    pByteOrder->addWidget(m_pPcm);
    pByteOrder->addWidget(m_pLpcm);
    pLayout->addWidget(new QLabel("Sampling Rate", pGroup), 0, 0);
    pLayout->addWidget(m_pRates, 0, 1);
    pLayout->addWidget(new QLabel("Volume Control", pGroup), 1, 0);
    pLayout->addWidget(m_pVolumeSlider, 1, 1);
    pLayout->addWidget(m_Edits[3], 1, 2);
    pLayout->addWidget(m_pMute, 2, 0);
    pLayout->addWidget(m_pPesHeader, 2, 1);
    pLayout->addWidget(m_pByteOrderGroup, 3, 0, 1, 3);
    return pGroup;
}

QWidget* SettingsDialog::BuildFilesGroup()
{
    auto* pGroup = new QGroupBox("Files", this);
    auto* pLayout = new QGridLayout(pGroup);
    m_pCaptureFile = NewEdit(pGroup, "1027", QWIDGETSIZE_MAX);
    m_pPlaybackFile = NewEdit(pGroup, "1028", QWIDGETSIZE_MAX);
    m_pBrowseCapture = Named(new QPushButton("...", pGroup), "1029");
    m_pBrowsePlayback = Named(new QPushButton("...", pGroup), "1030");
    m_pPassthrough = Named(new QPushButton("Enable Passthrough", pGroup), "1039");
    pLayout->addWidget(new QLabel("Capture File", pGroup), 0, 0);
    pLayout->addWidget(m_pCaptureFile, 0, 1, 1, 3);
    pLayout->addWidget(m_pBrowseCapture, 0, 4);
    pLayout->addWidget(new QLabel("Playback File", pGroup), 1, 0);
    pLayout->addWidget(m_pPlaybackFile, 1, 1, 1, 3);
    pLayout->addWidget(m_pBrowsePlayback, 1, 4);
    pLayout->addWidget(new QLabel("File Size Limit", pGroup), 2, 0);
    pLayout->addWidget(m_Edits[4], 2, 1);
    pLayout->addWidget(new QLabel("MB", pGroup), 2, 2);
    pLayout->addWidget(m_pPassthrough, 2, 3, 1, 2);
    pLayout->addWidget(new QLabel("Time Limit", pGroup), 3, 0);
    pLayout->addWidget(m_Edits[5], 3, 1);
    pLayout->addWidget(new QLabel("Mins", pGroup), 3, 2);
    return pGroup;
}

template <class Handler> void SettingsDialog::Handle(Handler handler)
{
    if (m_bShowing)
        return;
    handler();
    ShowModel();
}

void SettingsDialog::Connect()
{
    SettingsDialogModel& m = m_Model;
    connect(m_pProcAmpList, &QListWidget::currentRowChanged, this,
            [&](int row) { Handle([&] { m.OnProcAmpSelected(row); }); });
    connect(m_pProcAmpSlider, &QSlider::valueChanged, this,
            [&](int value) { Handle([&] { m.OnProcAmpSliderMoved(value); }); });
    connect(m_pBitRateSlider, &QSlider::valueChanged, this,
            [&](int value) { Handle([&] { m.OnBitRateSliderMoved(value); }); });
    connect(m_pPeakSlider, &QSlider::valueChanged, this,
            [&](int value) { Handle([&] { m.OnPeakBitRateSliderMoved(value); }); });
    connect(m_pVolumeSlider, &QSlider::valueChanged, this,
            [&](int value) { Handle([&] { m.OnVolumeSliderMoved(value); }); });
    connect(m_pSVideo, &QRadioButton::clicked, this, [&] { Handle([&] { m.OnInputChosen(true); }); });
    connect(m_pComposite, &QRadioButton::clicked, this,
            [&] { Handle([&] { m.OnInputChosen(false); }); });
    connect(m_pMpeg2, &QRadioButton::clicked, this, [&] { Handle([&] { m.OnMpeg2Chosen(); }); });
    connect(m_pMpeg1, &QRadioButton::clicked, this, [&] { Handle([&] { m.OnMpeg1Chosen(); }); });
    connect(m_pNtsc, &QRadioButton::clicked, this, [&] { Handle([&] { m.OnStandardChosen(true); }); });
    connect(m_pPal, &QRadioButton::clicked, this, [&] { Handle([&] { m.OnStandardChosen(false); }); });
    connect(m_pSizes, &QComboBox::activated, this,
            [&](int index) { Handle([&] { m.OnSizeSelected(index); }); });
    connect(m_pVbr, &QCheckBox::clicked, this,
            [&](bool bChecked) { Handle([&] { m.OnVbrToggled(bChecked); }); });
    connect(m_pRates, &QComboBox::activated, this,
            [&](int index) { Handle([&] { m.OnRateSelected(index); }); });
    connect(m_pPesHeader, &QCheckBox::clicked, this,
            [&](bool bChecked) { Handle([&] { m.OnPesHeaderToggled(bChecked); }); });
    connect(m_pPcm, &QRadioButton::clicked, this, [&] { Handle([&] { m.OnByteOrderChosen(true); }); });
    connect(m_pLpcm, &QRadioButton::clicked, this, [&] { Handle([&] { m.OnByteOrderChosen(false); }); });
    connect(m_pMute, &QCheckBox::clicked, this,
            [&](bool bChecked) { Handle([&] { m.OnMuteToggled(bChecked); }); });
    connect(m_pPassthrough, &QPushButton::clicked, this, [&] { Handle([&] { m.OnEnablePassthrough(); }); });
    connect(m_pSetButton, &QPushButton::clicked, this,
            [&]
            {
                Handle(
                    [&]
                    {
                        TakeEditTexts();
                        m.OnSetProcAmp();
                    });
            });
    connect(m_pBrowseCapture, &QPushButton::clicked, this, &SettingsDialog::BrowseCaptureFile);
    connect(m_pBrowsePlayback, &QPushButton::clicked, this, &SettingsDialog::BrowsePlaybackFile);
}

void SettingsDialog::BrowseCaptureFile()
{
    const QString path = ChooseFile(this, SettingsDialogModel::CaptureFileDialog());
    if (!path.isEmpty())
        Handle([&] { m_Model.OnCaptureFileChosen(path.toStdString()); });
}

void SettingsDialog::BrowsePlaybackFile()
{
    const QString path = ChooseFile(this, m_Model.PlaybackFileDialog());
    if (!path.isEmpty())
        Handle([&] { m_Model.OnPlaybackFileChosen(path.toStdString()); });
}

void SettingsDialog::TakeEditTexts()
{
    for (std::size_t i = 0; i < kSettingsEditCount; ++i)
        m_Model.edits[i] = m_Edits[i]->text().toStdString();
    m_Model.captureFileEdit = m_pCaptureFile->text().toStdString();
    m_Model.playbackFileEdit = m_pPlaybackFile->text().toStdString();
}

void SettingsDialog::ShowModel()
{
    m_bShowing = true;
    const SettingsDialogModel& m = m_Model;
    {
        const QSignalBlocker block(m_pProcAmpList);
        if (m_pProcAmpList->count() != int(m.procAmpList.entries.size()))
        {
            m_pProcAmpList->clear();
            for (const std::string& entry : m.procAmpList.entries)
                m_pProcAmpList->addItem(QString::fromStdString(entry));
        }
        m_pProcAmpList->setCurrentRow(m.procAmpList.selection);
    }
    ShowSlider(m_pProcAmpSlider, m.procAmpSlider);
    ShowSlider(m_pBitRateSlider, m.bitRateSlider);
    ShowSlider(m_pPeakSlider, m.peakBitRateSlider);
    ShowSlider(m_pVolumeSlider, m.volumeSlider);
    ShowList(m_pSizes, m.sizeList);
    ShowList(m_pRates, m.rateList);
    ShowRadioPair(m_pSVideo, m.bSVideoChecked, m_pComposite, m.bCompositeChecked);
    ShowRadioPair(m_pMpeg2, m.bMpeg2Checked, m_pMpeg1, m.bMpeg1Checked);
    ShowRadioPair(m_pNtsc, m.bNtscChecked, m_pPal, m.bPalChecked);
    ShowRadioPair(m_pPcm, m.bPcmChecked, m_pLpcm, m.bLpcmChecked);
    ShowCheck(m_pVbr, m.bVbrChecked);
    ShowCheck(m_pMute, m.bMuteChecked);
    ShowCheck(m_pPesHeader, m.bPesHeaderChecked);
    m_pVbr->setEnabled(m.bVbrEnabled);
    m_pPeakSlider->setEnabled(m.bPeakBitRateEnabled);
    m_Edits[2]->setEnabled(m.bPeakBitRateEnabled);
    m_pByteOrderGroup->setEnabled(m.bByteOrderEnabled);
    m_pPesHeader->setEnabled(m.bByteOrderEnabled);
    // An edit shows a new text only when the model pushed one, so what the user typed
    // stays until Set or OK reads it, as in the dialog's own data exchange.
    for (std::size_t i = 0; i < kSettingsEditCount; ++i)
        ShowEditIfChanged(m_Edits[i], m.edits[i], m_ShownEdits[i]);
    ShowEditIfChanged(m_pCaptureFile, m.captureFileEdit, m_ShownCaptureFile);
    ShowEditIfChanged(m_pPlaybackFile, m.playbackFileEdit, m_ShownPlaybackFile);
    m_bShowing = false;
}

void SettingsDialog::accept()
{
    TakeEditTexts();
    m_Model.OnOk();
    QDialog::accept();
}
