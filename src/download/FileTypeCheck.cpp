#include "download/FileTypeCheck.h"
#include "common/FileHelpers.h"
#include "common/PathSeparator.h"
#include "common/Text.h"
#include "download/DownloadList.h"
#include "download/DownloadWindowState.h"
#include "platform/Dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <initializer_list>
#include <vector>

namespace peldora {

namespace {

constexpr qint64 kLeadingBytes = 10241;
constexpr qint64 kTailBytes = 128;
constexpr qint64 kWebPageLimit = 200 * 1024;
constexpr qint64 kCaaLimit = 3 * 1024;

// Bytes that must be found at one offset.
struct ByteRun {
    int offset;
    std::vector<unsigned char> bytes;
};

struct Signature {
    std::vector<ByteRun> runs;
    const char* kind;
};

// The signature tests in the order they are tried; the first that matches decides.
const std::vector<Signature>& Signatures() {
    static const std::vector<Signature> table = {
        {{{0, {0x25, 0x50, 0x44, 0x46}}}, "pdf"},
        {{{0, {0xC8, 0x00, 0x00, 0x00}}}, "caj"},
        {{{0, {0x43, 0x41, 0x4A, 0x00}}}, "kdh"},
        {{{0, {0x4B, 0x44, 0x48, 0x20}}}, "kdh"},
        {{{0, {0x48, 0x4E, 0x00, 0x00}}}, "nh"},
        {{{0, {0x49, 0x49, 0x2A, 0x00}}}, "tif"},
        {{{0, {0x7B, 0x5C, 0x72, 0x74, 0x66}}}, "rtf"},
        {{{0, {0x4D, 0x5A}}}, "exe"},
        {{{0, {0x52, 0x61, 0x72, 0x21}}}, "rar"},
        {{{0, {0x50, 0x4B, 0x03, 0x04, 0x14, 0x00, 0x00, 0x00, 0x08}}}, "zip"},
        {{{0, {0x50, 0x4B, 0x03, 0x04, 0x14, 0x00, 0x06, 0x00, 0x08, 0x00}}}, "docx"},
        {{{0, {0x43, 0x57, 0x53, 0x06}}}, "swf"},
        {{{0, {0x2E, 0x52, 0x4D, 0x46}}}, "rm"},
        {{{0, {0x30, 0x26, 0xB2, 0x75, 0x8E}}}, "wma"},
        {{{0, {0x49, 0x44, 0x33, 0x03}}}, "mp3"},
        {{{0, {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}}}, "png"},
        {{{0, {0x47, 0x49, 0x46, 0x38, 0x39, 0x61}}}, "gif"},
        {{{0, {0xFF, 0xD8, 0xFF, 0xE1}},
          {6, {0x45, 0x78, 0x69, 0x66}},
          {12, {0x4D, 0x4D, 0x00, 0x2A}}},
         "jpg"},
        {{{0, {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46}}}, "jpg"},
        // A compound document; its kind is decided by the bytes at 512 (below).
        {{{0, {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1}}}, ""},
    };
    return table;
}

enum class Match { Yes, No, OutOfRange };

// The leading bytes of a short file end with one zero byte, so a test may look at offset
// "length" but not beyond; a test that needs more ends the detection.
Match Matches(const QByteArray& lead, const std::vector<ByteRun>& runs) {
    for (const ByteRun& run : runs)
        if (run.offset + qsizetype(run.bytes.size()) > lead.size()) return Match::OutOfRange;
    for (const ByteRun& run : runs)
        for (size_t i = 0; i < run.bytes.size(); ++i)
            if (static_cast<unsigned char>(lead.at(run.offset + qsizetype(i))) != run.bytes[i])
                return Match::No;
    return Match::Yes;
}

// doc, xls or ppt from the bytes at 512 to 515 of a compound document, or the empty text.
QString CompoundDocumentKind(const QByteArray& lead) {
    if (Matches(lead, {{512, {0xEC, 0xA5, 0xC1, 0x00}}}) == Match::Yes) return "doc";
    if (Matches(lead, {{512, {0x09, 0x08, 0x10, 0x00}}}) == Match::Yes) return "xls";
    if (Matches(lead, {{515, {0xF0}}}) == Match::Yes) return "ppt";
    return {};
}

// The signature chain. *stopped is set when a test needed bytes the file does not have, which
// ends the whole detection with the empty text.
QString SignatureKind(const QByteArray& lead, bool* stopped) {
    *stopped = false;
    for (const Signature& s : Signatures()) {
        const Match m = Matches(lead, s.runs);
        if (m == Match::OutOfRange) {
            *stopped = true;
            return {};
        }
        if (m == Match::No) continue;
        if (*s.kind) return QString::fromLatin1(s.kind);
        *stopped = lead.size() < 516; // the compound document's first sector is missing
        return *stopped ? QString() : CompoundDocumentKind(lead);
    }
    return {};
}

bool ContainsAny(const QByteArray& text, std::initializer_list<const char*> tags) {
    for (const char* t : tags)
        if (text.contains(t)) return true;
    return false;
}

bool ContainsAll(const QByteArray& text, std::initializer_list<const char*> tags) {
    for (const char* t : tags)
        if (!text.contains(t)) return false;
    return true;
}

} // namespace

FileKind 打开文件判断文件类型(const QString& path) {
    if (!FileExists(path)) return {};
    // Only regular files: opening a pipe or a device would wait or never end.
    if (!QFileInfo(LocalFilePath(path)).isFile()) return {};
    QFile file(LocalFilePath(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const qint64 length = file.size();
    QByteArray lead = file.read(kLeadingBytes);
    if (lead.size() < std::min(length, kLeadingBytes)) return {}; // a read error
    if (lead.size() < kLeadingBytes) lead.append('\0');

    bool stopped = false;
    QString kind = SignatureKind(lead, &stopped);
    if (stopped) return {};

    if (kind.isEmpty() && length > kTailBytes && file.seek(length - kTailBytes)) {
        if (file.read(kTailBytes).startsWith("TAG")) kind = QStringLiteral("mp3");
    }
    if (kind.isEmpty() && length < kWebPageLimit) {
        const QByteArray text = lead.toLower();
        if (ContainsAny(text, {"<html ", "html>"}) &&
            ContainsAny(text, {"<title>", "<head>", "<body>"}))
            kind = QStringLiteral("htm");
    }
    if (kind.isEmpty() && length < kCaaLimit) {
        // A file this short is all in the leading bytes.
        const QByteArray text = lead.left(length).toLower();
        if (ContainsAll(text, {"a1=", "[target]",
                               "a2=", "b1=", "b2=", "c1=", "c2=", "d1=", "d2=", "doctype="}))
            kind = QStringLiteral("caa");
    }
    return kind.toLower();
}

bool CorrectRowType(DownloadList& list, int row) {
    const QString path = list.RowFilePath(row);
    if (path.isEmpty() || !FileExists(path)) return false;
    const QString type = list.text(row, ColType).toLower();
    const FileKind kind = 打开文件判断文件类型(path);
    if (kind.isEmpty() || kind == type) return false;

    const QString dotKind = u'.' + kind;
    const QString target = UniqueNumberedPath(WithTrailingSep(list.text(row, ColFolder)) +
                                              list.text(row, ColName) + dotKind);
    // QFile::rename never replaces an existing file.
    if (!QFile::rename(LocalFilePath(path), target) || !FileExists(target)) return false;
    const QString file = target.mid(target.lastIndexOf(QChar(kPathSep)) + 1);
    list.setText(row, ColType, kind);
    // The name exactly as the file now carries it, so the row keeps finding its file.
    list.setText(row, ColName, file.left(file.size() - dotKind.size()));
    return true;
}

void 检查并纠正磁盘文件类型(DownloadList& list, const DownloadWindowState& state,
                            Dialogs& dialogs) {
    if (state.RefusedByBusyGuard(dialogs)) return;
    if (list.count() == 0) return;
    int corrected = 0;
    for (int r = 0; r < list.count(); ++r) corrected += CorrectRowType(list, r);
    dialogs.messageBox(QStringLiteral("纠正文件类型：%1个.").arg(corrected),
                       MessageIcon::Information);
}

void 打开文件判断类型(Dialogs& dialogs) {
    const QString path = dialogs.openFile(QString(), QStringLiteral("*.*|*.*"), QString());
    if (path.isEmpty()) return;
    const FileKind kind = 打开文件判断文件类型(path);
    dialogs.messageBox(kind.isEmpty() ? QStringLiteral("目前还无法判断。")
                                      : QStringLiteral("文件类型为：") + kind,
                       MessageIcon::Information);
}

void 检查文件是否存在(DownloadList& list) {
    for (int r = 0; r < list.count(); ++r)
        if (!FileExists(list.RowFilePath(r))) list.setText(r, ColPercent, QStringLiteral("不存在"));
}

} // namespace peldora
