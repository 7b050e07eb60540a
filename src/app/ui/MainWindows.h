#pragma once
#include "app/MainWindowSwitch.h"
#include "handover/Handover.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace peldora {

struct AppContext;
class CoverWindow;
class DownloadWindow;
class SearchWindow;

// The program's three main windows and the hand-offs between them: the cover opens the search
// window; the search window and the hand-over open the download window (created on first use,
// hidden until shown); the last of the two to close brings the cover back.
class MainWindows : public QObject, public MainWindowSwitch {
    Q_OBJECT
public:
    MainWindows(AppContext& ctx, CoverWindow& cover);
    ~MainWindows() override;

    SearchWindow* searchWindow() const;
    DownloadWindow* downloadWindow() const;

    // Creates and loads the search window on first use; hides the cover and shows it.
    void openSearchWindow() override;
    // Creates and loads the download window on first use, without showing it.
    DownloadWindow& loadDownloadWindow();
    // "打开下载窗口": the download window, loaded if needed, shown and raised.
    void openDownloadWindow() override;
    // 显示下载窗口: nothing when the window is not loaded; otherwise the list redrawn, the
    // window shown if hidden and, with restore, un-minimised.
    void showDownloadWindow(bool restore);

    // "设置" of either window: the options dialog, modal over `owner`; it updates the download
    // window at once when that is loaded.
    void showOptions(QWidget* owner);

    // What the hand-over adds rows through.
    DownloadListSink downloadSink();

    // Tests build a search window over a scripted browser.
    std::function<SearchWindow*()> makeSearchWindow;

    // "关于": the about box over `owner`; its closing starts the cover's version check again.
    void showAbout(QWidget* owner);

private:
    // A main window has gone: with neither left, the cover is the home window again.
    void mainWindowGone();

    AppContext& m_ctx;
    CoverWindow& m_cover;
    QPointer<SearchWindow> m_search;
    QPointer<DownloadWindow> m_download;
};

} // namespace peldora
