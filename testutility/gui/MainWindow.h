#pragma once

// The main window "Marvek/Tellin Test Utility": the menu bar, the black client area
// with the white banner text, and the video preview over it. It draws what its model
// says, forwards its commands, timers and graph notifications to the model, and
// shows what the model asks for (message boxes, dialogs).

#include "MainWindowModel.h"

#include <QMainWindow>

#include <map>

class QLabel;
class QMenu;
class QTimer;
class VideoSurface;

class MainWindow : public QMainWindow, private MainWindowView
{
    Q_OBJECT

public:
    explicit MainWindow(AppSettings& settings);
    ~MainWindow() override;

    // The window's initialisation; false when the program must end.
    bool Initialize();

    MainWindowModel& Model() { return m_Model; }
    VideoSurface* Video() const { return m_pVideo; }
    QLabel* Banner() const { return m_pBanner; }
    QAction* Action(int command) const;
    bool IsTimerActive(int id) const;

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    // MainWindowView
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    void Diagnostic(const std::string& line) override;
    void DebugOutput(const std::string& line) override;
    void ShowBanner(const std::string& text) override;
    int PumpMessages() override;
    void SetTimer(int id, unsigned milliseconds) override;
    void KillTimer(int id) override;
    void MenuStateChanged() override;
    void RunSettingsDialog() override;
    bool RunConvertDialog() override;
    void RunAboutBox() override;
    void CloseWindow() override;
    OAHWND VideoOwner() const override;
    ClientRect BannerRect() const override;

    void BuildMenus();
    QMenu* AddMenu(const char* pszTitle, std::initializer_list<std::pair<const char*, int>> items);
    void RouteGraphEvents();

    AppSettings& m_Settings;
    MainWindowModel m_Model;
    QLabel* m_pBanner = nullptr;
    VideoSurface* m_pVideo = nullptr;
    std::map<int, QAction*> m_Actions;
    std::map<int, QTimer*> m_Timers;
    bool m_bQuitSeen = false;
    bool m_bClosing = false;
};
