#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QList>

namespace peldora {

struct AppContext;

// One file for the copy dialog: where its bytes are and the name it takes in the destination.
// A plain file is copied whole under its own name; a cached body is a range of a cache entry
// file, named after its address (tools/BrowserCache.h).
struct CopySource {
    QString path;          // the file read
    QString name;          // the file name at the destination
    qint64 offset = 0;     // the bytes copied: `length` bytes from `offset`; -1 = to the end
    qint64 length = -1;
    QByteArray contentEncoding; // gzip or deflate bodies are stored encoded; undone on copy

    // A whole file under its own name.
    static CopySource File(const QString& path);
    bool wholeFile() const { return offset == 0 && length < 0 && contentEncoding.isEmpty(); }
};

// A path split for copying: folder (with its trailing separator, or empty), base name and
// extension. The path is trimmed; an extension of 7 or more characters does not count as one;
// an empty base name takes the whole name.
struct CopyPathParts {
    QString folder;
    QString base;
    QString extension;
    QString fileName() const { return extension.isEmpty() ? base : base + u'.' + extension; }
};
CopyPathParts SplitCopyPath(const QString& path);

// What happens when the destination already has a file of the same name (Option1(1..5)).
enum class SameNameRule {
    Skip = 1,
    Overwrite = 2,
    Rename = 3,
    SameSizeAndTimeOverwrite = 4, // same length and modification time: overwrite, else rename
    SameSizeOverwrite = 5,        // same length: overwrite, else rename
};

// The bytes of a source as they are copied; empty with ok false when they cannot be read.
// Used to compare with a copy already in place.
QByteArray ReadCopySource(const CopySource& source, bool* ok);
// Length and modification time of what a source copies (its body for a cached entry).
qint64 CopySourceLength(const CopySource& source);
QDateTime CopySourceTime(const CopySource& source);

// Copies the source to `target`: written aside in the target's folder and renamed into place,
// so a failed copy never leaves a truncated file under the target name nor destroys a file that
// was there. The copy takes the source's modification time. True when the copy is in place.
bool CopySourceTo(const CopySource& source, const QString& target);

// 复制相同文件自动重命名: copies under the first free name of destination folder + base
// (without a trailing "[n]" counter) + ".ext", then base[001].ext, base[002].ext ... Returns
// the path written, or the empty text when nothing was copied.
QString 复制相同文件自动重命名(const CopySource& source, const QString& destinationFolder);

// The state and the pass of the copy dialog Form_Copy_Move. The window mirrors its controls into
// this and shows what it reports through changed().
class CopyMoveForm : public QObject {
    Q_OBJECT
public:
    explicit CopyMoveForm(AppContext& ctx, QObject* parent = nullptr);

    // Set by the caller before the dialog loads.
    QList<CopySource> sources;
    bool moveMode = false;

    // What the dialog shows.
    QStringList history;   // Combo1's list
    QString folderText;    // Combo1's text
    int opIndex = 4;       // the checked Option1
    int progressValue = 0;
    int progressMaximum = 100;
    QString currentFile;
    bool running() const { return m_running; }
    QString command1Caption() const;
    QString caption() const;

    // Load: history from SaveList.dat, destination and option from the settings.
    void load();
    // "浏览": the folder picker starting beside the destination.
    void browse();
    // 执行: "开始" starts a pass; while a pass runs, the same button asks it to stop (the pass
    // ends before its next file).
    void 执行(bool showMessage);
    void requestStop() { m_running = false; }

signals:
    // Something the dialog shows has changed.
    void changed();
    // A pass has ended (done or stopped).
    void passEnded();

private:
    void copyOne(const CopySource& source, const QString& destination);
    AppContext& m_ctx;
    bool m_running = false;
};

inline const QString kCopyDoneMessage = QStringLiteral("复制文件完成！");
inline const QString kMoveDoneMessage = QStringLiteral("移动文件完成！");
inline const QString kCreateFolderError = QStringLiteral("创建文件夹出错！");

} // namespace peldora
