#include "app/SaveLocation.h"
#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "common/DefaultFolders.h"
#include "common/FileHelpers.h"
#include "common/PathSeparator.h"
#include "common/Text.h"
#include "platform/Dialogs.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <optional>

namespace peldora {

namespace {
constexpr int kHistoryLimit = 100;
// No folder path is this long; a longer line means the file is not a folder history.
constexpr qint64 kMaxLineBytes = 32 * 1024;
// Enough for 100 folders with room to spare; a larger file is read only this far.
constexpr qint64 kMaxReadBytes = 8 * 1024 * 1024;

// A line of text, or nothing when the bytes are not a folder history's (binary data). Stateless:
// a sequence cut off at the end of the line is an error, not silently dropped. A byte-order
// mark is kept as a character here and trimmed with the spaces (EntryText).
std::optional<QString> DecodeLine(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder(bytes);
    if (decoder.hasError()) return std::nullopt;
    for (QChar ch : text)
        if (ch.unicode() < 0x20 && ch != u'\t') return std::nullopt;
    return text;
}

// The entry a line holds: trimmed of spaces and of byte-order marks before it (an editor may
// put one at the start of the file, where it is invisible). An entry never starts with one, so
// writing the list and reading it back gives the same list.
QString EntryText(const QString& line) {
    qsizetype begin = 0;
    while (begin < line.size() && (line.at(begin) == u' ' || line.at(begin) == QChar(0xFEFF)))
        ++begin;
    return TrimSpaces(line.mid(begin));
}

bool ContainsNoCase(const QStringList& list, const QString& entry) {
    for (const QString& e : list)
        if (EqualsNoCase(e, entry)) return true;
    return false;
}
} // namespace

void LoadComboFromFile(QStringList& list, const QString& path) {
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) return;
    QStringList loaded;
    int nonEmpty = 0;
    qint64 read = 0;
    // Reading stops at the limit: whatever follows the 100th entry line is never looked at.
    while (nonEmpty < kHistoryLimit && !file.atEnd() && read < kMaxReadBytes) {
        // Room for the longest line and a CR LF (readLine's size counts a terminating NUL).
        QByteArray line = file.readLine(kMaxLineBytes + 3);
        read += line.size();
        const bool ended = line.endsWith('\n');
        if (!ended && !file.atEnd()) return; // a line no folder path needs: not a history file
        if (ended) line.chop(1);
        if (line.endsWith('\r')) line.chop(1);
        if (line.size() > kMaxLineBytes) return; // the same limit with either line end
        const std::optional<QString> text = DecodeLine(line);
        if (!text) return;
        const QString entry = EntryText(*text);
        if (entry.isEmpty()) continue;
        ++nonEmpty;
        if (!ContainsNoCase(loaded, entry)) loaded << entry;
    }
    list = loaded;
}

void SaveComboToFile(const QStringList& list, const QString& path) {
    QByteArray content;
    for (const QString& entry : list) content += entry.toUtf8() + "\r\n";
    if (list.isEmpty()) content = "\r\n";
    // Written aside and moved in place, so a failed write never leaves half a history.
    QSaveFile file(path);
    // A writable history in a folder that takes no new files is still rewritten, in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(content);
    file.commit();
}

QString SaveListPath(const AppContext& ctx) {
    return WithTrailingSep(ctx.dataFolder) + QStringLiteral("SaveList.dat");
}

QString BrowseStartFolder(const QString& initial) {
    // The fallback root is a root already: it is not cut back to its parent.
    if (TrimSpaces(initial).isEmpty()) return FallbackRootFolder();
    QString start = initial;
    const qsizetype sep = start.left(start.size() - 1).lastIndexOf(QChar(kPathSep));
    if (sep >= 0) start = start.left(sep + 1);
    if (!FolderExists(start)) start = FallbackRootFolder();
    return start;
}

QString BrowseForFolder(Dialogs& dialogs, const QString& initial, const QString& title,
                        bool includeFiles) {
    const std::optional<QString> chosen =
        dialogs.browseFolder(title, BrowseStartFolder(initial), includeFiles);
    const QString result = chosen && !chosen->isEmpty() ? *chosen : initial;
    return WithTrailingSep(result);
}

void SaveLocationForm::load() {
    originalName = m_ctx.state.useOriginalName;
    LoadComboFromFile(history, SaveListPath(m_ctx));
    folderText = m_ctx.state.saveFolder;
    m_ctx.state.saveDialogCancelled = true;
}

void SaveLocationForm::browse() {
    folderText = BrowseForFolder(m_ctx.dialogs, folderText, kBrowseFolderTitle, false);
}

bool SaveLocationForm::accept() {
    m_ctx.state.useOriginalName = originalName;
    folderText = CreateFolderPath(WithTrailingSep(folderText), [this](const QString& message) {
        m_ctx.dialogs.messageBox(message, MessageIcon::Critical);
    });
    if (folderText.isEmpty()) {
        m_ctx.dialogs.messageBox(kFolderSettingError, MessageIcon::Critical);
        return false;
    }
    m_ctx.state.saveFolder = WithTrailingSep(folderText);
    m_ctx.settings.WriteSetting(keys::kSettings, keys::kSaveFolder, m_ctx.state.saveFolder);
    m_ctx.state.saveDialogCancelled = false;
    // Every OK appends, even a folder the list already holds. A new folder on a full list
    // pushes the oldest entries out: the file is read only as far as its first 100 entries, so
    // appending past them would never bring the newest folder back.
    const QString entry = TrimSpaces(folderText);
    if (!ContainsNoCase(history, entry))
        while (history.size() >= kHistoryLimit) history.removeFirst();
    history << entry;
    SaveComboToFile(history, SaveListPath(m_ctx));
    return true;
}

void SaveLocationForm::cancel() { m_ctx.state.saveDialogCancelled = true; }

} // namespace peldora
