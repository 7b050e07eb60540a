#pragma once
#include "download/DownloadList.h"
#include "download/DownloadScheduler.h"
#include "download/DownloadTransfers.h"
#include "download/DownloadWindowState.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTreeView;

namespace peldora {

struct AppContext;
class LoginPanel;

// fFileDownload: the download list ListView3 with the download panel, menus and status bar.
// Creating the window runs its load sequence, so it can be filled with rows before it is ever
// shown; closing it saves its settings and discards the list.
class DownloadWindow : public QWidget {
    Q_OBJECT
public:
    explicit DownloadWindow(AppContext& ctx, QWidget* parent = nullptr);

    static inline const QString kWindowName = QStringLiteral("fFileDownload");
    static inline const QString kCaption = QStringLiteral("文件下载");

    DownloadList& list() { return m_list; }
    DownloadWindowState& state() { return m_state; }
    DownloadTransfers& transfers() { return m_transfers; }
    DownloadScheduler& scheduler() { return m_scheduler; }

    // Adds a waiting row; false when the key is empty or already in the list.
    bool AddRow(const QString& key, const QString& name, const QString& type, const QString& folder,
                const QString& tag);

    // Status panel 4 from the list's counts.
    void UpdateStatistics();
    // Replaces the scheduler's supervisor tick, for tests that need a handler of their own.
    std::function<void()> supervisorTick;
    // Called before the list menu opens as a context menu, to enable its entries.
    std::function<void()> beforeListMenu;

    // A menu entry by its object name ("menu清除选中项"), and a way to give a waiting entry
    // its command: the entry is enabled and runs the function when chosen.
    QAction* command(const QString& objectName) const;
    void connectCommand(const QString& objectName, const std::function<void()>& run);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    // The focused row, or -1.
    int focusedRow() const;

    QTreeView* listView() const { return m_listView; }
    QComboBox* threadCountList() const { return m_combo1; }
    QComboBox* pauseList() const { return m_combo2; }
    QComboBox* redownloadPolicyList() const { return m_combo4; }
    QRadioButton* policyOption(SameNamePolicy policy) const;
    QLabel* rowCountLabel() const { return m_label1; }
    QLabel* methodLabel() const { return m_label7; }
    QMenu* listMenu() const { return m_listMenu; }
    // PicWebBK, the login page over the list.
    LoginPanel* loginPanel() const { return m_loginPanel; }

    // Marks work of the window's own handlers that pumps events (a method-1 transfer inside
    // the scheduler's tick, a login): a close asked for meanwhile is carried out when the
    // outermost work has ended, so nothing the work uses is deleted under it.
    class Work {
    public:
        explicit Work(DownloadWindow& window);
        ~Work();
        Work(const Work&) = delete;
        Work& operator=(const Work&) = delete;

    private:
        QPointer<DownloadWindow> m_window;
    };
    bool working() const { return m_workDepth > 0; }

    // The method shown in Label7: "下载方式：" and the digit.
    void ShowDownloadMethod();
    SameNamePolicy selectedPolicy() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    // The commands of the list, help and tools menus that work on the list and its files
    // (DownloadWindowCommands.cpp), and the enabled states of the list menu's entries.
    void connectListCommands();
    void enableListMenuEntries();
    void connectDownloading();
    void connectLogin();
    // The rows selected in the list, in list order.
    QList<int> selectedRows() const;
    QWidget* buildDownloadPanel();
    void buildListView();
    void buildStatusBar();
    void load();
    void restorePlacement();
    void savePlacement();
    void panelClicked(int panel);
    QString screenDescription() const;
    void showRowCount();
    // The close's steps that end the downloads; once per close, when it is confirmed.
    void stopForClose();
    void scheduleStatistics();
    bool m_statisticsPending = false;

    int m_workDepth = 0;
    bool m_closeConfirmed = false;
    bool m_closePending = false;

    AppContext& m_ctx;
    DownloadList m_list;
    DownloadWindowState m_state;
    // After the list and the state, which they work on; destroyed before them.
    DownloadTransfers m_transfers;
    DownloadScheduler m_scheduler;

    QMenuBar* m_menuBar = nullptr;
    QMenu* m_listMenu = nullptr;
    QTreeView* m_listView = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label7 = nullptr;
    QFrame* m_shape1 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command4 = nullptr;
    QPushButton* m_command26 = nullptr;
    QPushButton* m_command31 = nullptr;
    QCheckBox* m_check3 = nullptr;
    QCheckBox* m_check4 = nullptr;
    QCheckBox* m_check5 = nullptr;
    QCheckBox* m_check6 = nullptr;
    QComboBox* m_combo1 = nullptr;
    QComboBox* m_combo2 = nullptr;
    QComboBox* m_combo4 = nullptr;
    QRadioButton* m_options[3] = {};
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_panels[4] = {};
    LoginPanel* m_loginPanel = nullptr;
};

} // namespace peldora
