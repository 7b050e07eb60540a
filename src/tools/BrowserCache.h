#pragma once
#include "tools/CopyFiles.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace peldora {

struct AppContext;

// The embedded browser's disk cache as files. Chromium's simple cache keeps one file per entry,
// "<hash>_0", in the profile's Cache_Data folder: a header with the entry's key (its last
// space-separated part is the address), the body, and the response headers at the end, each
// stream closed by a small record that gives its length.
struct CacheEntryFile {
    QString url;                 // empty when the file is not a cache entry
    qint64 bodyOffset = -1;      // where the body starts; -1 when its framing cannot be read
    qint64 bodyLength = -1;
    QByteArray contentEncoding;  // of the stored body, from the stored response headers
    bool bodyKnown() const { return bodyOffset >= 0 && bodyLength >= 0; }
};
// Reads an entry file as far as it can: nothing when it does not start as a cache entry; the
// address without the body when the file is cut off. Never reads beyond the file.
std::optional<CacheEntryFile> ReadCacheEntryFile(const QString& path);

// The bytes to copy for a cached file: the body under the address's file name when the entry's
// framing is whole, otherwise the file itself.
CopySource CacheCopySource(const QString& filePath);

// The short type of an address or path: "pdf" for ".../file.pdf?x=1#top", empty for an address
// ending in "/" or an extension of 7 or more characters.
QString TypeFromAddress(const QString& address);

// The folder walkers of the cache viewer. `path` must be absolute; names "." and "..", and at
// a root "pagefile.sys" and "RECYCLER", are skipped. Symbolic links are neither listed nor
// followed, so a walk never leaves the folder it was given.
void ListFolders(const QString& path, QStringList& out, bool descend);
void ListFiles(const QString& path, QStringList& out, bool descend);

// 强制删除: clears read-only marks and deletes the file. A symbolic link is removed itself, its
// target never touched.
void 强制删除(const QString& path);

// Where the other users' caches are: every folder directly below `profilesRoot` that has
// `suffix` below it. Derived from this user's cache folder and home folder: the profiles root
// is the folder that holds the home folder, the suffix the cache folder's path inside the home.
struct CacheLayout {
    QString myCacheFolder;  // this user's Cache_Data folder
    QString profilesRoot;   // with a trailing separator; empty: no other users are looked for
    QString suffix;         // starts with the separator
};
CacheLayout MakeCacheLayout(const QString& myCacheFolder, const QString& homeFolder);

// One row of ListView1.
struct CacheRow {
    QString text;      // the address, or "用户:" + user name
    QString type;
    qint64 size = -1;  // -1: unknown (shown empty)
    QString filePath;
};

// ListView1's rows: "URL", "TYPE", "SIZE(Byte)", "FilePath".
class CacheListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QList<CacheRow>& rows() const { return m_rows; }
    void setRows(QList<CacheRow> rows);
    // A click on column 1..4: that column becomes the sort column and the order flips
    // (ascending the first time). Sizes sort by value, the rest as text.
    void sortByColumn(int column);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_order; }

private:
    QList<CacheRow> m_rows;
    int m_sortColumn = 0;
    Qt::SortOrder m_order = Qt::DescendingOrder; // so that the first click sorts ascending
    bool m_sorted = false;
};

// fIEcache's logic: the listings, the deletions and the copy of selected entries.
class BrowserCacheViewer : public QObject {
    Q_OBJECT
public:
    BrowserCacheViewer(AppContext& ctx, CacheLayout layout, QObject* parent = nullptr);

    CacheListModel& list() { return m_list; }
    QString label1() const { return m_label1; }
    QString viewMark() const { return m_viewMark; }
    // ListView2: user name and cache folder; ListView3: every folder below those.
    const QList<QPair<QString, QString>>& userFolders() const { return m_userFolders; }
    const QStringList& cacheSubfolders() const { return m_cacheSubfolders; }

    // "查看我的缓存"
    void GetCacheURLList();
    // "查看所有用户缓存"
    void listAllUsers();
    // "删除所选文件" (rows given by their index) and "全部删除".
    void deleteRows(const QList<int>& rows);
    void deleteAll();
    // "复制选中...": the copy sources of the given rows that have a file, in list order.
    QList<CopySource> copySources(const QList<int>& rows) const;
    static QString copyCaption(int files);

signals:
    // The label or a list other than ListView1 has changed.
    void changed();

private:
    void deleteRow(const CacheRow& row);
    void 删除空文件夹();
    void listAgain();
    // Whether a path lies inside one of the cache folders this viewer lists.
    bool insideCache(const QString& path) const;

    AppContext& m_ctx;
    CacheLayout m_layout;
    CacheListModel m_list;
    QString m_label1 = QStringLiteral("000");
    QString m_viewMark;
    QStringList m_profileFolders;
    QStringList m_cacheSubfolders;
    QList<QPair<QString, QString>> m_userFolders;
};

// The one-step clear of both windows: lists and deletes this user's cache, then every user's,
// and with showMessage tells "IE缓存清空完毕！".
void ClearBrowserCache(AppContext& ctx, const CacheLayout& layout, bool showMessage);

inline const QString kCacheClearedMessage = QStringLiteral("IE缓存清空完毕！");
inline const QString kMyCacheMark = QStringLiteral("我的缓存");
inline const QString kAllCachesMark = QStringLiteral("所有缓存");

} // namespace peldora
