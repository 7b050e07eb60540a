#include "tools/CopyFiles.h"
#include "app/AppContext.h"
#include "app/SaveLocation.h"
#include "app/SettingsStore.h"
#include "common/FileHelpers.h"
#include "common/PathSeparator.h"
#include "common/Text.h"
#include "download/BodyDecoder.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace peldora {

namespace {

constexpr qint64 kChunk = 1 << 20;
constexpr int kHistoryLimit = 100;

bool ContainsNoCase(const QStringList& list, const QString& entry) {
    for (const QString& e : list)
        if (EqualsNoCase(e, entry)) return true;
    return false;
}

// A file a plain directory listing shows: it exists, is not a folder and is not hidden.
bool ListedFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile() && !info.isHidden();
}

// Feeds the source's bytes, piece by piece, to `sink`; false when they cannot all be read.
bool ReadPieces(const CopySource& source, const std::function<bool(const QByteArray&)>& sink) {
    QFile in(source.path);
    if (!in.open(QIODevice::ReadOnly)) return false;
    if (source.offset > 0 && !in.seek(source.offset)) return false;
    qint64 left = source.length < 0 ? in.size() - source.offset : source.length;
    if (left < 0 || source.offset + left > in.size()) return false;
    BodyDecoder decoder(source.contentEncoding);
    while (left > 0) {
        const QByteArray piece = in.read(std::min(left, kChunk));
        if (piece.isEmpty()) return false;
        left -= piece.size();
        QByteArray out;
        if (!decoder.feed(piece, &out)) return false;
        if (!sink(out)) return false;
    }
    return decoder.finished();
}

} // namespace

CopySource CopySource::File(const QString& path) {
    CopySource s;
    s.path = path;
    s.name = QFileInfo(TrimSpaces(path)).fileName();
    return s;
}

CopyPathParts SplitCopyPath(const QString& path) {
    CopyPathParts parts;
    const QString p = TrimSpaces(path);
    const qsizetype sep = p.lastIndexOf(QChar(kPathSep));
    parts.folder = sep >= 0 ? p.left(sep + 1) : QString();
    const QString name = p.mid(sep + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0 && name.size() - dot - 1 < 7) {
        parts.base = TrimSpaces(name.left(dot));
        parts.extension = TrimSpaces(name.mid(dot + 1));
    } else {
        parts.base = TrimSpaces(name);
    }
    if (parts.base.isEmpty()) {
        parts.base = name;
        parts.extension.clear();
    }
    return parts;
}

QByteArray ReadCopySource(const CopySource& source, bool* ok) {
    QByteArray all;
    const bool read = ReadPieces(source, [&all](const QByteArray& piece) {
        all += piece;
        return true;
    });
    if (ok) *ok = read;
    return read ? all : QByteArray();
}

qint64 CopySourceLength(const CopySource& source) {
    if (source.wholeFile()) return QFileInfo(source.path).size();
    if (source.contentEncoding.isEmpty()) return source.length;
    bool ok = false;
    const QByteArray body = ReadCopySource(source, &ok);
    return ok ? body.size() : -1;
}

QDateTime CopySourceTime(const CopySource& source) {
    return QFileInfo(source.path).lastModified();
}

bool CopySourceTo(const CopySource& source, const QString& target) {
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) return false;
    const bool read = ReadPieces(source, [&out](const QByteArray& piece) {
        return out.write(piece) == piece.size();
    });
    if (!read) {
        out.cancelWriting();
        return false;
    }
    // Flushed first, so the time set here is the one the file keeps once renamed into place.
    out.flush();
    const QDateTime time = CopySourceTime(source);
    if (time.isValid()) out.setFileTime(time, QFileDevice::FileModificationTime);
    return out.commit();
}

QString 复制相同文件自动重命名(const CopySource& source, const QString& destinationFolder) {
    if (!QFileInfo(source.path).isFile()) return {};
    CopyPathParts parts = SplitCopyPath(source.name.isEmpty() ? source.path : source.name);
    QString base = parts.base;
    // A counter of an earlier numbered copy ("report[2]") is dropped, so copies count afresh.
    if (base.endsWith(u']')) {
        const qsizetype open = base.lastIndexOf(u'[');
        if (open >= 0) {
            bool number = false;
            TrimSpaces(base.mid(open + 1, base.size() - open - 2)).toLongLong(&number);
            if (number && open > 0) base = base.left(open);
        }
    }
    const QString folder = WithTrailingSep(destinationFolder);
    const QString ext = parts.extension.isEmpty() ? QString() : u'.' + parts.extension;
    QString candidate = folder + base + ext;
    for (int n = 1; QFileInfo::exists(candidate); ++n)
        candidate = folder + base + QStringLiteral("[%1]").arg(n, 3, 10, QChar(u'0')) + ext;
    return CopySourceTo(source, candidate) ? candidate : QString();
}

CopyMoveForm::CopyMoveForm(AppContext& ctx, QObject* parent) : QObject(parent), m_ctx(ctx) {}

QString CopyMoveForm::command1Caption() const {
    return m_running ? QStringLiteral("停止") : QStringLiteral("开始");
}

QString CopyMoveForm::caption() const {
    return moveMode ? QStringLiteral("移动文件...") : QStringLiteral("复制文件...");
}

void CopyMoveForm::load() {
    LoadComboFromFile(history, SaveListPath(m_ctx));
    folderText = m_ctx.settings.ReadSetting(keys::kCopyMove, keys::kTargetFolder,
                                            WithTrailingSep(m_ctx.dataFolder));
    bool ok = false;
    const int index =
        m_ctx.settings.ReadSetting(keys::kCopyMove, keys::kOpIndex, QStringLiteral("4")).toInt(&ok);
    opIndex = ok && index >= 1 && index <= 5 ? index : 4;
    emit changed();
}

void CopyMoveForm::browse() {
    folderText = BrowseForFolder(m_ctx.dialogs, folderText, kBrowseFolderTitle, false);
    emit changed();
}

void CopyMoveForm::执行(bool showMessage) {
    // A press while a pass runs is a stop request and nothing else: the pass is still walking
    // the source list, so it must not be pruned or changed under it.
    if (m_running) {
        m_running = false;
        emit changed();
        return;
    }
    const QString created = CreateFolderPath(WithTrailingSep(folderText), [this](const QString& m) {
        m_ctx.dialogs.messageBox(m, MessageIcon::Critical);
    });
    folderText = created;
    if (created.isEmpty()) {
        emit changed();
        m_ctx.dialogs.messageBox(kCreateFolderError, MessageIcon::Critical);
        return;
    }
    const QString destination = WithTrailingSep(created);
    folderText = destination;
    m_ctx.settings.WriteSetting(keys::kCopyMove, keys::kTargetFolder, destination);
    m_ctx.settings.WriteSetting(keys::kCopyMove, keys::kOpIndex, QString::number(opIndex));
    const QString entry = TrimSpaces(destination);
    if (!ContainsNoCase(history, entry)) {
        // The file is read only as far as its first 100 entries: a new folder on a full list
        // pushes the oldest out, so it is found again next time.
        while (history.size() >= kHistoryLimit) history.removeFirst();
        history << entry;
    }
    SaveComboToFile(history, SaveListPath(m_ctx));

    currentFile.clear();
    for (qsizetype i = 0; i < sources.size();) {
        if (ListedFile(sources.at(i).path))
            ++i;
        else
            sources.removeAt(i);
    }
    if (sources.isEmpty()) {
        emit changed();
        return;
    }

    m_running = true;
    progressValue = 0;
    progressMaximum = int(sources.size()) + 1;
    emit changed();
    // The pass works on its own copy: the caller may change the list while events run.
    const QList<CopySource> pass = sources;
    for (qsizetype i = 0; i < pass.size() && m_running; ++i) {
        progressValue = int(i) + 1;
        const CopySource& source = pass.at(i);
        const CopyPathParts parts = SplitCopyPath(source.path);
        if (EqualsNoCase(parts.folder, destination)) continue;
        currentFile = SplitCopyPath(source.name.isEmpty() ? source.path : source.name).fileName();
        emit changed();
        m_ctx.pump.processEvents(); // where a stop request is noticed
        if (!m_running) break;
        copyOne(source, destination);
    }
    m_running = false;
    progressValue = 0;
    currentFile.clear();
    emit changed();
    emit passEnded();
    if (showMessage)
        m_ctx.dialogs.messageBox(moveMode ? kMoveDoneMessage : kCopyDoneMessage,
                                 MessageIcon::Information);
}

void CopyMoveForm::copyOne(const CopySource& source, const QString& destination) {
    const QString name = SplitCopyPath(source.name.isEmpty() ? source.path : source.name).fileName();
    const QString target = destination + name;
    QString written;
    if (!FileExists(target)) {
        if (CopySourceTo(source, target)) written = target;
    } else {
        const QFileInfo existing(target);
        bool overwrite = false;
        switch (SameNameRule(opIndex)) {
        case SameNameRule::Skip: break;
        case SameNameRule::Overwrite: overwrite = true; break;
        case SameNameRule::Rename: break;
        case SameNameRule::SameSizeAndTimeOverwrite:
            overwrite = CopySourceLength(source) == existing.size() &&
                        CopySourceTime(source) == existing.lastModified();
            break;
        case SameNameRule::SameSizeOverwrite:
            overwrite = CopySourceLength(source) == existing.size();
            break;
        }
        if (SameNameRule(opIndex) == SameNameRule::Skip) {
            written = target; // the file in place may serve as the moved copy (checked below)
        } else if (overwrite) {
            // Replaced in one step: the old file stays until the new one is complete.
            if (CopySourceTo(source, target)) written = target;
        } else {
            written = 复制相同文件自动重命名(source, destination);
        }
    }
    // A move deletes its source only when an identical copy stands at the destination.
    if (moveMode && source.wholeFile() && !written.isEmpty()) {
        bool okSource = false, okCopy = false;
        const QByteArray a = ReadCopySource(source, &okSource);
        const QByteArray b = ReadCopySource(CopySource::File(written), &okCopy);
        if (okSource && okCopy && a == b) QFile::remove(source.path);
    }
}

} // namespace peldora
