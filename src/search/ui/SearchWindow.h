#pragma once
#include "search/SearchListCommands.h"

#include <QMainWindow>
#include <QPoint>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QTimer;

namespace peldora {

struct AppContext;
class AddAllPages;
class Browser;
class SearchList;
struct PageHarvest;

// fWebSearch: the embedded browser above, the search list with its harvesting buttons below,
// joined by a movable bar (PicBar). The hand-over to the download list plugs in through
// Command2's pop-up entries, Check3, Timer1, the progress panel and the two analysis hooks.
class SearchWindow : public QMainWindow {
    Q_OBJECT
public:
    // Without a browser the window creates the embedded WebEngine browser; a given browser (a
    // test's) stays the caller's, shown through browserView when there is one.
    explicit SearchWindow(AppContext& ctx, Browser* browser = nullptr,
                          QWidget* browserView = nullptr, QWidget* parent = nullptr);
    ~SearchWindow() override;

    // Carries out a close that had to wait for a page read, an add-all run or a hand-over run
    // to end; the work calls it when it is done.
    void closeIfPending();

    // The load sequence: lists and settings, shown, the last page (or the English start page).
    void load();

    // The hand-over's state: answers true while no rows are being handed over (unset: true).
    std::function<bool()> analysisStop;
    // Command5 "停止" of the progress panel.
    std::function<void()> stopAnalysis;
    // Whether a hand-over run is still going, stopped or not (unset: false).
    std::function<bool()> analysisRunning;
    // The save-location dialog, modal; by default the program's dialog.
    std::function<void()> askSaveFolder;
    // Windows of other parts of the program, opened from the tools and help menus.
    std::function<void()> showOptions;
    std::function<void()> showCacheViewer;
    std::function<void()> clearBrowserCache;
    std::function<void()> showAbout;

    SearchList& searchList() const { return *m_list; }
    Browser& browser() const { return *m_browser; }
    AddAllPages& addAll() const { return *m_addAll; }
    // Whether an add-all run is active (addAllStop false).
    bool addAllRunning() const;

    QTableView* listView1() const { return m_listView; }
    QComboBox* combo(int n) const;
    QCheckBox* check2() const { return m_check2; }
    QCheckBox* check3() const { return m_check3; }
    QPushButton* command(int n) const;
    QLabel* label(int n) const;
    QLabel* statusPanel(int n) const;
    QWidget* picPanWeb() const { return m_picPanWeb; }
    QWidget* picPanList() const { return m_picPanList; }
    QFrame* picBar() const { return m_picBar; }
    QFrame* picPanPrograss() const { return m_picPanPrograss; }
    QTimer* timer1() const { return m_timer1; }
    // The hidden menu "加入": the pop-up of Command2 with its four entries.
    QMenu* menuAdd() const { return m_menuAdd; }
    QAction* menuAnalyseUnanalysed() const { return m_analyseActions[0]; }
    QAction* menuAnalyseFailed() const { return m_analyseActions[1]; }
    QAction* menuAnalyseSelected() const { return m_analyseActions[2]; }
    QAction* menuAnalyseAll() const { return m_analyseActions[3]; }
    // The menu "清除(&C)", also the list's right-click menu.
    QMenu* menuClear() const { return m_menuClear; }

    // Records an address in the visit history (Combo1); an empty one means the current page's.
    void 记录url(const QString& address);
    bool 查找Combo1(const QString& address) const;
    // Label1 = the number of rows.
    void refreshCounter();
    // "加入本页到列表".
    void addThisPage();
    // The window layout after a resize or a move of the bar.
    void layoutWindow();
    // Puts the bar at `top` (central-area pixels) as a drag would and lays the window out.
    void dropSplitterAt(int top);

    // Commands of the menus, by caption.
    void openJapaneseStart();
    void openEnglishStart();
    void openAddress();
    void openLocalFile();
    void savePageSource();
    void showCurrentAddress();
    void showUsage();

    static const QString kUsageText;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls(QWidget* browserView);
    void buildMenus();
    void connectBrowser();
    void layoutListPanel();
    void setSilentFor(const QString& address);
    bool workStillRunning() const;
    void showRunning(bool running);
    PageHarvest harvest();

    AppContext& m_ctx;
    Browser* m_browser;
    std::unique_ptr<SearchList> m_list;
    std::unique_ptr<AddAllPages> m_addAll;
    int m_reading = 0;
    bool m_closePending = false;

    QWidget* m_central = nullptr;
    QLabel* m_labels[12] = {};
    QComboBox* m_combos[4] = {};
    QPushButton* m_commands[10] = {};
    QCheckBox* m_check2 = nullptr;
    QCheckBox* m_check3 = nullptr;
    QWidget* m_picPanWeb = nullptr;
    QWidget* m_browserView = nullptr;
    QFrame* m_picBar = nullptr;
    QWidget* m_picPanList = nullptr;
    QWidget* m_listControls = nullptr;
    QTableView* m_listView = nullptr;
    QFrame* m_picPanPrograss = nullptr;
    QLabel* m_panels[4] = {};
    QTimer* m_timer1 = nullptr;
    QMenu* m_menuAdd = nullptr;
    QMenu* m_menuClear = nullptr;
    QAction* m_analyseActions[4] = {};

    // The header clicks' sort column and direction, kept while the window is open.
    SearchListSort m_sort;
    int m_barTop = -1;
    bool m_barDragging = false;
    bool m_panelDragging = false;
    QPoint m_panelGrab;
};

} // namespace peldora
