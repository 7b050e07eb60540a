#include "common/FileHelpers.h"
#include "common/HeaderText.h"
#include "common/PathSeparator.h"
#include "common/Text.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace peldora {

namespace {

// Replaces "/" by the separator so addresses and paths split alike.
QString NativeSeparators(QString path) {
    path.replace(u'/', QChar(kPathSep));
    return path;
}

// The text after the last "/" or "\": addresses and Windows paths (what a server or a user
// may hand over) split alike on every system.
QString LastSegment(const QString& path) {
    const qsizetype sep = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return TrimSpaces(path.mid(sep + 1));
}

void TrimDots(QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u'.') ++begin;
    while (end > begin && text.at(end - 1) == u'.') --end;
    text = text.mid(begin, end - begin);
}

bool IsLoneSurrogate(const QString& text, qsizetype i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate()) return i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate();
    if (c.isLowSurrogate()) return i == 0 || !text.at(i - 1).isHighSurrogate();
    return false;
}

} // namespace

QString SanitizeFileName(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        switch (text.at(i).unicode()) {
        case u'\\': case u'/': case u':': case u'*': case u'?': case u'"':
        case u'<': case u'>': case u'|': case u'\r': case u'\n': case u'\0':
            continue;
        default:
            // Half a surrogate pair (web titles carry them) is no character any file system
            // stores.
            if (!IsLoneSurrogate(text, i)) out.append(text.at(i));
        }
    }
    TrimDots(out);
    out = LeftBytesAnsi(out, 200);
    // The cut may end on a dot; trimming again keeps a second pass from changing the name.
    TrimDots(out);
    return out;
}

QString RemoveLineBreaks(const QString& text) {
    QString out = text;
    out.remove(u'\r');
    out.remove(u'\n');
    out.remove(QChar(u'\0'));
    return out;
}

QString FileNameFromAddress(const QString& address, bool stripExtension) {
    QString name = LastSegment(address);
    if (stripExtension) {
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot >= 0) name = TrimSpaces(name.left(dot));
    }
    return name;
}

std::pair<QString, QString> SplitNameAndExtension(const QString& path) {
    const QString file = LastSegment(path);
    const qsizetype dot = file.lastIndexOf(u'.');
    if (dot < 0) return {QString(), file};
    const QString ext = file.mid(dot + 1);
    if (ext.size() >= 7) return {QString(), file};
    return {TrimSpaces(ext), TrimSpaces(file.left(dot))};
}

bool NamesFileInFolder(const QString& file) {
    return !file.isEmpty() && file != QStringLiteral(".") && file != QStringLiteral("..") &&
           !file.contains(QChar(kPathSep)) && !file.contains(u'/') && !file.contains(QChar(u'\0'));
}

QString LocalFilePath(const QString& path) {
    // Not trimmed: "a " and "a" are two files, and every path tested here was built by the
    // program from a name and a type that may end in a space.
    QString p = path;
    if (p.startsWith(QStringLiteral("file:///"), Qt::CaseInsensitive)) {
        p = p.mid(8);
        // Without drive letters the third slash of the address is the root of the path.
        if (kPathSep == u'/') p.prepend(u'/');
    }
    return NativeSeparators(p);
}

bool FileExists(const QString& path) {
    const QString p = LocalFilePath(path);
    if (p.isEmpty() || p.contains(QChar(u'\0'))) return false;
    const QFileInfo info(p);
    return info.exists() && !info.isDir();
}

bool FolderExists(const QString& path) {
    if (path.toUpper() == QStringLiteral("A:") + QChar(kPathSep)) return true;
    if (TrimSpaces(path).isEmpty() || path.contains(QChar(u'\0'))) return false;
    return QFileInfo(path).isDir();
}

QString CreateFolderPath(const QString& path, const FolderNameError& reportError) {
    const QString sep = PathSepText();
    const QStringList pieces = path.split(QChar(kPathSep));
    QString result;
    qsizetype first;
    if (path.startsWith(sep + sep)) {
        if (pieces.size() < 3 || pieces.at(2).isEmpty()) {
            if (reportError) reportError(kBadFolderNameMessage);
            return {};
        }
        result = sep + sep + pieces.at(2);
        first = 3;
    } else {
        result = pieces.value(0);
        first = 1;
    }
    for (qsizetype i = first; i < pieces.size(); ++i) {
        if (pieces.at(i).isEmpty()) break;
        const QString piece = SanitizeFileName(pieces.at(i));
        if (piece.isEmpty()) {
            if (reportError) reportError(kBadFolderNameMessage);
            break;
        }
        result += sep + piece;
        if (!FolderExists(result)) QDir().mkdir(result);
    }
    if (!result.isEmpty() && FolderExists(result)) return result;
    return {};
}

QString UniqueNumberedPath(const QString& path) {
    if (!FileExists(path)) return path;
    const qsizetype lastSep = path.lastIndexOf(QChar(kPathSep));
    if (lastSep < 0) return path;
    const QString dir = path.left(lastSep + 1);
    const QString file = path.mid(lastSep + 1);
    const qsizetype dot = file.lastIndexOf(u'.');
    QString base = dot < 0 ? file : file.left(dot);
    const QString ext = dot < 0 ? QString() : file.mid(dot + 1);
    if (base.size() > 100) base.truncate(100);
    // A name that already carries a counter, "paper[0003]", is numbered again from its stem.
    if (base.endsWith(u']')) {
        const qsizetype open = base.lastIndexOf(u'[');
        if (open >= 0) {
            bool isNumber = false;
            base.mid(open + 1, base.size() - open - 2).toLongLong(&isNumber);
            if (isNumber) base.truncate(open);
        }
    }
    const QString dotExt = ext.isEmpty() ? QString() : QStringLiteral(".") + ext;
    QString candidate = dir + base + dotExt;
    for (qint64 n = 1; FileExists(candidate); ++n)
        candidate = dir + base + QStringLiteral("[%1]").arg(n, 4, 10, QChar(u'0')) + dotExt;
    return candidate;
}

} // namespace peldora
