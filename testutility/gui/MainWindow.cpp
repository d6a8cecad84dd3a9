#include "MainWindow.h"

#include "AboutDialog.h"
#include "AppIcon.h"
#include "ConvertDialog.h"
#include "SettingsDialog.h"
#include "VideoSurface.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

namespace
{
using namespace MenuCommand;

// The client area and the banner cover 525 x 380 pixels.
constexpr int kClientWidth = 525;
constexpr int kClientHeight = 380;

// Tabs of the banner texts as the static control spaced them.
QString BannerText(const std::string& text)
{
    QString shown = QString::fromStdString(text);
    shown.replace('\t', "        ");
    return shown;
}
} // namespace

MainWindow::MainWindow(AppSettings& settings)
    : m_Settings(settings), m_Model(settings, *this)
{
    setWindowTitle(MainWindowModel::kTitle);
    setWindowIcon(AppIcon());
    auto* pClient = new QWidget(this);
    pClient->setFixedSize(kClientWidth, kClientHeight);
    pClient->setAutoFillBackground(true);
    QPalette palette = pClient->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    pClient->setPalette(palette);
    setCentralWidget(pClient);

    m_pBanner = new QLabel(pClient);
    m_pBanner->setObjectName("banner");
    m_pBanner->setGeometry(0, 0, kClientWidth, kClientHeight);
    m_pBanner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pBanner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = m_pBanner->font();
    font.setPixelSize(34);
    font.setBold(true);
    m_pBanner->setFont(font);
    m_pVideo = new VideoSurface(pClient);
    BuildMenus();
}

MainWindow::~MainWindow()
{
    if (IMediaEventEx* pEvents = m_Model.Context().MediaEvent())
        pEvents->SetNotifyCallback({});
}

bool MainWindow::Initialize()
{
    if (!m_Model.Initialize())
        return false;
    if (m_Model.HasC3StreamMenu())
    {
        QMenu* pMenu = AddMenu("&C3 Stream", {{"Convert Mpeg to C3S", kConvert},
                                              {"Playback C3S", kPlaybackC3S},
                                              {nullptr, 0},
                                              {"&Stop", kC3StreamStop}});
        // Between Playback and Help.
        menuBar()->insertMenu(menuBar()->actions().at(3), pMenu);
    }
    RouteGraphEvents();
    MenuStateChanged();
    return true;
}

void MainWindow::BuildMenus()
{
    AddMenu("&File", {{"&Settings", kSettings}, {"E&xit", kExit}});
    AddMenu("&Capture", {{"Without Preview", kCaptureWithoutPreview},
                         {"Video Only Preview", kCaptureVideoPreview},
                         {"Audio and Video Preview", kCaptureAudioVideoPreview},
                         {nullptr, 0},
                         {"&Stop", kCaptureStop}});
    AddMenu("&Playback", {{"Without Preview", kPlaybackWithoutPreview},
                          {"Video Only Preview", kPlaybackVideoPreview},
                          {"Audio Only Preview", kPlaybackAudioPreview},
                          {"Audio and Video Preview", kPlaybackAudioVideoPreview},
                          {nullptr, 0},
                          {"&Stop", kPlaybackStop}});
    AddMenu("&Help", {{"&About", kAbout}});
}

QMenu* MainWindow::AddMenu(const char* pszTitle,
                           std::initializer_list<std::pair<const char*, int>> items)
{
    auto* pMenu = new QMenu(pszTitle, this);
    for (const auto& [pszText, command] : items)
    {
        if (!pszText)
        {
            pMenu->addSeparator();
            continue;
        }
        QAction* pAction = pMenu->addAction(pszText);
        pAction->setData(command);
        m_Actions[command] = pAction;
        connect(pAction, &QAction::triggered, this, [this, command] { m_Model.OnCommand(command); });
    }
    menuBar()->addMenu(pMenu);
    return pMenu;
}

QAction* MainWindow::Action(int command) const
{
    const auto found = m_Actions.find(command);
    return found == m_Actions.end() ? nullptr : found->second;
}

// The graph notifies on whatever thread queued the event; the model drains the
// queue on this window's thread, as the window message did.
void MainWindow::RouteGraphEvents()
{
    if (IMediaEventEx* pEvents = m_Model.Context().MediaEvent())
        pEvents->SetNotifyCallback(
            [this] { QMetaObject::invokeMethod(this, [this] { m_Model.OnGraphNotify(); }, Qt::QueuedConnection); });
}

void MainWindow::ShowMessage(const std::string& text)
{
    QMessageBox::information(this, MainWindowModel::kTitle, QString::fromStdString(text));
}

void MainWindow::ShowError(const std::string& text)
{
    QMessageBox::critical(this, MainWindowModel::kTitle, QString::fromStdString(text));
}

void MainWindow::Diagnostic(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void MainWindow::DebugOutput(const std::string& line)
{
    qDebug("%s", line.c_str());
}

void MainWindow::ShowBanner(const std::string& text)
{
    PumpMessages();
    m_pBanner->setText(BannerText(text));
    m_pBanner->repaint();
}

int MainWindow::PumpMessages()
{
    QCoreApplication::processEvents();
    return m_bQuitSeen ? kPumpQuit : kPumpIdle;
}

void MainWindow::SetTimer(int id, unsigned milliseconds)
{
    QTimer*& pTimer = m_Timers[id];
    if (!pTimer)
    {
        pTimer = new QTimer(this);
        connect(pTimer, &QTimer::timeout, this, [this, id] { m_Model.OnTimer(id); });
    }
    pTimer->start(int(milliseconds));
}

void MainWindow::KillTimer(int id)
{
    if (QTimer* pTimer = m_Timers[id])
        pTimer->stop();
}

bool MainWindow::IsTimerActive(int id) const
{
    const auto found = m_Timers.find(id);
    return found != m_Timers.end() && found->second->isActive();
}

void MainWindow::MenuStateChanged()
{
    for (const auto& [command, pAction] : m_Actions)
        pAction->setEnabled(m_Model.IsEnabled(command));
}

void MainWindow::RunSettingsDialog()
{
    SettingsDialog dialog(m_Settings, *this, this);
    dialog.exec();
}

bool MainWindow::RunConvertDialog()
{
    ConvertDialog dialog(m_Settings, this);
    return dialog.exec() == QDialog::Accepted;
}

void MainWindow::RunAboutBox()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWindow::CloseWindow()
{
    m_bClosing = true;
    close();
}

OAHWND MainWindow::VideoOwner() const
{
    return m_pVideo->OwnerHandle();
}

ClientRect MainWindow::BannerRect() const
{
    return {0, 0, m_pBanner->width(), m_pBanner->height()};
}

// Closing the window is the quit message: a start that is pumping messages sees it
// and stops its graph; the graph context takes the rest down with the model.
void MainWindow::closeEvent(QCloseEvent* pEvent)
{
    m_bQuitSeen = true;
    m_Model.Context().StopGraph();
    pEvent->accept();
}
