#pragma once
#include "tools/BrowserCache.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace peldora {

struct AppContext;

// fIEcache: lists the browser cache (this user's entries, or every user's cache files), deletes
// entries and copies cached files out through Form_Copy_Move.
class CacheViewerWindow : public QDialog {
    Q_OBJECT
public:
    CacheViewerWindow(AppContext& ctx, const CacheLayout& layout, QWidget* owner = nullptr);

    BrowserCacheViewer& viewer() { return m_viewer; }
    QTableView* listView(int n) const; // 1..3
    QLabel* label1() const { return m_label1; }
    QPushButton* command(int n) const; // 1, 2, 3, 4, 6, 7

    // Selected rows of ListView1, in list order.
    QList<int> selectedRows() const;
    // "复制选中...": the copy dialog over the selected files, modal.
    void copySelected();

    // Tests answer the copy dialog: called with it before it is shown; when set, the dialog is
    // not shown modally.
    std::function<void(QDialog&)> onCopyDialog;

private:
    void showLists();

    AppContext& m_ctx;
    BrowserCacheViewer m_viewer;
    QTableView* m_lists[3];
    QStandardItemModel* m_users;
    QStandardItemModel* m_folders;
    QLabel* m_label1;
    QPushButton* m_commands[8] = {};
};

// This user's cache and where the other users' caches are, for the program's browser profile.
CacheLayout SharedCacheLayout();

// "查看IE浏览器缓存": the viewer, modal over `owner`.
void ShowCacheViewer(AppContext& ctx, QWidget* owner);
// "清空IE浏览器缓存": the one-step clear with its completion message.
void ClearSharedBrowserCache(AppContext& ctx);

} // namespace peldora
