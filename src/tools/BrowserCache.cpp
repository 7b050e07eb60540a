#include "tools/BrowserCache.h"
#include "app/AppContext.h"
#include "common/FileHelpers.h"
#include "common/PathSeparator.h"
#include "common/Text.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <QtEndian>
#include <algorithm>

namespace peldora {

namespace {

// The framing of an entry file (Chromium's simple cache): a 24-byte header (magic, version,
// key length, key hash, padding) and the key; then the body, closed by a 24-byte end record; then the
// stored response headers, optionally the key's SHA-256, and their end record, whose last
// field is the headers' length.
constexpr quint64 kInitialMagic = 0xfcfb6d1ba7725c30ULL;
constexpr quint64 kFinalMagic = 0xf4fa6f45970d41d8ULL;
constexpr qint64 kHeaderSize = 24;
constexpr qint64 kEndSize = 24;
constexpr quint32 kFlagKeySha256 = 2;
constexpr qint64 kMaxKeyLength = 64 * 1024;
constexpr qint64 kMaxHeadersLength = 1024 * 1024;

const QString kUserPrefix = QStringLiteral("用户:");

quint64 U64(const QByteArray& b, int at) { return qFromLittleEndian<quint64>(b.constData() + at); }
quint32 U32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }

QByteArray ReadAt(QFile& f, qint64 at, qint64 length) {
    if (at < 0 || length < 0 || at + length > f.size() || !f.seek(at)) return {};
    const QByteArray bytes = f.read(length);
    return bytes.size() == length ? bytes : QByteArray();
}

// The value of one header in the stored response headers ("Name: value" pieces between NULs).
QByteArray StoredHeader(const QByteArray& headers, const QByteArray& name) {
    const QByteArray lower = headers.toLower();
    const QByteArray needle = '\0' + name.toLower() + ':';
    const qsizetype at = lower.indexOf(needle);
    if (at < 0) return {};
    const qsizetype start = at + needle.size();
    qsizetype end = headers.indexOf('\0', start);
    if (end < 0) end = headers.size();
    return headers.mid(start, end - start).trimmed();
}

QString CacheCountText(const QString& prefix, qsizetype count) {
    return prefix + QString::number(count) + QStringLiteral(" 个文件");
}

bool IsSymLink(const QString& path) { return QFileInfo(path).isSymLink(); }

void Walk(const QString& path, QStringList& out, bool descend, bool files) {
    if (!QDir::isAbsolutePath(path) || IsSymLink(path)) return;
    const QString folder = WithTrailingSep(path);
    QDir dir(folder);
    if (!dir.exists()) return;
    const bool root = QDir(folder).isRoot();
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                      QDir::Name);
    QStringList folders;
    for (const QString& name : names) {
        if (EqualsNoCase(name, QStringLiteral("pagefile.sys"))) continue;
        if (root && name.toUpper() == QStringLiteral("RECYCLER")) continue;
        const QFileInfo info(folder + name);
        if (info.isSymLink()) continue; // never followed, never listed
        if (info.isDir()) {
            if (!files) out << folder + name;
            folders << folder + name;
        } else if (files && info.exists()) {
            out << folder + name;
        }
    }
    if (descend)
        for (const QString& sub : folders) Walk(sub, out, true, files);
}

} // namespace

std::optional<CacheEntryFile> ReadCacheEntryFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray header = ReadAt(f, 0, kHeaderSize);
    if (header.isEmpty() || U64(header, 0) != kInitialMagic) return std::nullopt;
    const qint64 keyLength = U32(header, 12);
    if (keyLength <= 0 || keyLength > kMaxKeyLength) return std::nullopt;
    const QByteArray key = ReadAt(f, kHeaderSize, keyLength);
    if (key.isEmpty()) return std::nullopt;
    CacheEntryFile entry;
    const QString keyText = QString::fromUtf8(key);
    entry.url = keyText.section(u' ', -1);
    // The key starts with markers of how the resource was requested ("1/0/"); the address
    // follows them.
    static const QRegularExpression markers(QStringLiteral("^(?:[0-9]+/)+(?=[A-Za-z][A-Za-z0-9+.-]*:)"));
    entry.url.remove(markers);
    if (entry.url.isEmpty()) return std::nullopt;

    // The body's framing, from the end of the file backwards; a file cut off or still being
    // written gives the address alone.
    const qint64 size = f.size();
    const QByteArray end0 = ReadAt(f, size - kEndSize, kEndSize);
    if (end0.isEmpty() || U64(end0, 0) != kFinalMagic) return entry;
    const qint64 headersLength = U32(end0, 16);
    if (headersLength > kMaxHeadersLength) return entry;
    const qint64 sha = (U32(end0, 8) & kFlagKeySha256) ? 32 : 0;
    const qint64 headersStart = size - kEndSize - sha - headersLength;
    const qint64 bodyEnd = headersStart - kEndSize;
    const qint64 bodyStart = kHeaderSize + keyLength;
    if (bodyEnd < bodyStart) return entry;
    const QByteArray end1 = ReadAt(f, bodyEnd, kEndSize);
    if (end1.isEmpty() || U64(end1, 0) != kFinalMagic) return entry;
    entry.bodyOffset = bodyStart;
    entry.bodyLength = bodyEnd - bodyStart;
    const QByteArray headers = ReadAt(f, headersStart, headersLength);
    entry.contentEncoding = StoredHeader(headers, "content-encoding");
    return entry;
}

CopySource CacheCopySource(const QString& filePath) {
    CopySource source = CopySource::File(filePath);
    const std::optional<CacheEntryFile> entry = ReadCacheEntryFile(filePath);
    if (!entry || !entry->bodyKnown()) return source;
    source.offset = entry->bodyOffset;
    source.length = entry->bodyLength;
    const QByteArray encoding = entry->contentEncoding.toLower();
    if (encoding == "gzip" || encoding == "x-gzip" || encoding == "deflate")
        source.contentEncoding = encoding;
    const QString name = SanitizeFileName(QUrl(entry->url).fileName(QUrl::FullyDecoded));
    if (!name.isEmpty()) source.name = name;
    return source;
}

QString TypeFromAddress(const QString& address) {
    QString s = address;
    qsizetype at = s.indexOf(QStringLiteral("://"));
    if (at >= 0) {
        s = s.mid(at + 3);
        at = s.indexOf(QStringLiteral("://"));
        if (at >= 0) s = s.left(at);
    }
    s.replace(u'/', u'\\');
    s = s.mid(s.lastIndexOf(u'\\') + 1);
    const auto cutAt = [&s](const QString& chars) {
        for (qsizetype i = 0; i < s.size(); ++i)
            if (chars.contains(s.at(i))) {
                s.truncate(i);
                return;
            }
    };
    cutAt(QStringLiteral("#\b\t\n\r"));
    cutAt(QStringLiteral(":*<>|\"'"));
    cutAt(QStringLiteral("=?"));
    const qsizetype dot = s.lastIndexOf(u'.');
    if (dot < 0) return {};
    const QString type = TrimSpaces(s.mid(dot + 1));
    return type.size() < 7 ? type : QString();
}

void ListFolders(const QString& path, QStringList& out, bool descend) {
    Walk(path, out, descend, false);
}

void ListFiles(const QString& path, QStringList& out, bool descend) {
    Walk(path, out, descend, true);
}

void 强制删除(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        QFile::remove(path); // the link, not what it points at
        return;
    }
    if (!info.exists() || info.isDir()) return;
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner |
                                    QFileDevice::ReadOwner);
    if (!QFile::remove(path) && QFileInfo::exists(path)) QFile::remove(path);
}

CacheLayout MakeCacheLayout(const QString& myCacheFolder, const QString& homeFolder) {
    CacheLayout layout;
    layout.myCacheFolder = QDir::cleanPath(myCacheFolder);
    const QString home = QDir::cleanPath(homeFolder);
    if (home.isEmpty() || !layout.myCacheFolder.startsWith(WithTrailingSep(home))) return layout;
    const qsizetype sep = home.lastIndexOf(QChar(kPathSep));
    if (sep < 0) return layout;
    layout.profilesRoot = home.left(sep + 1);
    layout.suffix = layout.myCacheFolder.mid(home.size());
    return layout;
}

// ---- ListView1 ------------------------------------------------------------------------------

int CacheListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CacheListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

QVariant CacheListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) return {};
    const CacheRow& row = m_rows.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case 0: return row.text;
        case 1: return row.type;
        case 2: return row.size < 0 ? QString() : QString::number(row.size);
        case 3: return row.filePath;
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() == 2)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant CacheListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole) {
        static const QString captions[4] = {QStringLiteral("URL"), QStringLiteral("TYPE"),
                                            QStringLiteral("SIZE(Byte)"),
                                            QStringLiteral("FilePath")};
        return section >= 0 && section < 4 ? captions[section] : QVariant();
    }
    if (role == Qt::TextAlignmentRole && section == 2)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

void CacheListModel::setRows(QList<CacheRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void CacheListModel::sortByColumn(int column) {
    if (column < 1 || column > 4) return;
    m_sortColumn = column;
    m_order = m_sorted && m_order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_sorted = true;
    const bool ascending = m_order == Qt::AscendingOrder;
    const auto text = [column](const CacheRow& r) {
        return column == 1 ? r.text : column == 2 ? r.type : r.filePath;
    };
    beginResetModel();
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const CacheRow& a, const CacheRow& b) {
        if (column == 3) return ascending ? a.size < b.size : b.size < a.size;
        const int c = QString::compare(text(a), text(b), Qt::CaseInsensitive);
        return ascending ? c < 0 : c > 0;
    });
    endResetModel();
}

// ---- fIEcache -------------------------------------------------------------------------------

BrowserCacheViewer::BrowserCacheViewer(AppContext& ctx, CacheLayout layout, QObject* parent)
    : QObject(parent), m_ctx(ctx), m_layout(std::move(layout)) {}

void BrowserCacheViewer::GetCacheURLList() {
    QList<CacheRow> rows;
    QStringList files;
    ListFiles(m_layout.myCacheFolder, files, false);
    for (const QString& file : files) {
        if (!file.endsWith(QStringLiteral("_0"))) continue;
        const std::optional<CacheEntryFile> entry = ReadCacheEntryFile(file);
        if (!entry) continue; // not a cache entry: the cache would not report it
        CacheRow row;
        row.text = entry->url;
        row.type = TypeFromAddress(entry->url);
        row.filePath = file;
        row.size = entry->bodyKnown() ? entry->bodyLength : QFileInfo(file).size();
        rows << row;
    }
    m_list.setRows(rows);
    m_label1 = CacheCountText(QStringLiteral("共有"), rows.size());
    m_viewMark = kMyCacheMark;
    emit changed();
}

void BrowserCacheViewer::listAllUsers() {
    m_profileFolders.clear();
    m_cacheSubfolders.clear();
    m_userFolders.clear();
    if (!m_layout.profilesRoot.isEmpty()) ListFolders(m_layout.profilesRoot, m_profileFolders, false);
    for (const QString& profile : m_profileFolders) {
        const QString folder = profile + m_layout.suffix;
        if (!FolderExists(folder) || IsSymLink(folder)) continue;
        m_userFolders << qMakePair(QFileInfo(profile).fileName(), folder);
        ListFolders(folder, m_cacheSubfolders, true);
    }
    QList<CacheRow> rows;
    for (const auto& [user, folder] : m_userFolders) {
        QStringList files;
        ListFiles(folder, files, true);
        for (const QString& file : files) {
            CacheRow row;
            row.text = kUserPrefix + user;
            row.type = TypeFromAddress(file);
            row.size = QFileInfo(file).size();
            row.filePath = file;
            rows << row;
        }
    }
    m_list.setRows(rows);
    m_label1 = CacheCountText(QStringLiteral("共有"), rows.size());
    m_viewMark = kAllCachesMark;
    emit changed();
}

bool BrowserCacheViewer::insideCache(const QString& path) const {
    // Compared on resolved paths, so a path through a link cannot lead outside.
    const QString parent = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    if (parent.isEmpty()) return false;
    QStringList roots{m_layout.myCacheFolder};
    for (const auto& uf : m_userFolders) roots << uf.second;
    for (const QString& root : roots) {
        const QString canonical = QFileInfo(root).canonicalFilePath();
        if (canonical.isEmpty()) continue;
        if (parent == canonical || parent.startsWith(WithTrailingSep(canonical))) return true;
    }
    return false;
}

void BrowserCacheViewer::deleteRow(const CacheRow& row) {
    if (row.text.startsWith(kUserPrefix)) {
        if (!row.filePath.isEmpty() && row.type.toLower() != QStringLiteral("txt") &&
            insideCache(row.filePath))
            强制删除(row.filePath);
        return;
    }
    if (row.text.isEmpty() || row.text.contains(QStringLiteral("cookie"), Qt::CaseInsensitive))
        return;
    if (row.filePath.isEmpty() || !insideCache(row.filePath)) return;
    // The entry leaves the cache with its other streams ("<hash>_1", "<hash>_s").
    const QString stem = row.filePath.left(row.filePath.size() - 2);
    if (row.filePath.endsWith(QStringLiteral("_0")))
        for (const char* other : {"_1", "_s"}) 强制删除(stem + QLatin1String(other));
    强制删除(row.filePath);
}

void BrowserCacheViewer::删除空文件夹() {
    for (qsizetype i = m_cacheSubfolders.size() - 1; i >= 0; --i) {
        const QString& folder = m_cacheSubfolders.at(i);
        if (folder.isEmpty() || IsSymLink(folder) || !FolderExists(folder)) continue;
        QDir().rmdir(folder); // only an empty folder goes
    }
}

void BrowserCacheViewer::listAgain() {
    if (m_viewMark == kMyCacheMark)
        GetCacheURLList();
    else if (m_viewMark == kAllCachesMark)
        listAllUsers();
}

void BrowserCacheViewer::deleteRows(const QList<int>& rows) {
    const QList<CacheRow> all = m_list.rows();
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    for (int i : sorted)
        if (i >= 0 && i < all.size()) deleteRow(all.at(i));
    删除空文件夹();
    listAgain();
}

void BrowserCacheViewer::deleteAll() {
    for (const CacheRow& row : m_list.rows()) deleteRow(row);
    删除空文件夹();
    listAgain();
}

QList<CopySource> BrowserCacheViewer::copySources(const QList<int>& rows) const {
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    QList<CopySource> sources;
    for (int i : sorted)
        if (i >= 0 && i < m_list.rows().size() && !m_list.rows().at(i).filePath.isEmpty())
            sources << CacheCopySource(m_list.rows().at(i).filePath);
    return sources;
}

QString BrowserCacheViewer::copyCaption(int files) {
    return QStringLiteral("复制文件：") + QString::number(files) + QStringLiteral(" 个文件...");
}

void ClearBrowserCache(AppContext& ctx, const CacheLayout& layout, bool showMessage) {
    BrowserCacheViewer viewer(ctx, layout);
    viewer.GetCacheURLList();
    viewer.deleteAll();
    viewer.listAllUsers();
    viewer.deleteAll();
    if (showMessage) ctx.dialogs.messageBox(kCacheClearedMessage, MessageIcon::Information);
}

} // namespace peldora
