// File names and paths: fields are a name or address, then more names. The pure helpers are
// checked on every field; CreateFolderPath and UniqueNumberedPath work in a scratch folder.
#include "FuzzSupport.h"
#include "common/FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace peldora;
using namespace peldora::fuzz;

namespace {

bool HasSeparatorOrReserved(const QString& s) {
    for (const QChar c : s)
        if (QStringLiteral("\\/:*?\"<>|\r\n").contains(c) || c == QChar(u'\0')) return true;
    return false;
}

void CheckPureHelpers(const QString& text) {
    const QString clean = SanitizeFileName(text);
    FUZZ_CHECK(!HasSeparatorOrReserved(clean));
    FUZZ_CHECK(!HasLoneSurrogate(clean)); // so its UTF-8 form is valid
    FUZZ_CHECK(clean.toUtf8().size() <= 200);
    FUZZ_CHECK(QString::fromUtf8(clean.toUtf8()) == clean || clean.startsWith(QChar(0xFEFF)));
    FUZZ_CHECK(!clean.startsWith(u'.') && !clean.endsWith(u'.'));
    FUZZ_CHECK(SanitizeFileName(clean) == clean);
    FUZZ_CHECK(NamesFileInFolder(clean) == !clean.isEmpty());

    const QString joined = RemoveLineBreaks(text);
    FUZZ_CHECK(!joined.contains(u'\r') && !joined.contains(u'\n') && !joined.contains(QChar(u'\0')));

    for (const bool strip : {false, true}) {
        const QString name = FileNameFromAddress(text, strip);
        FUZZ_CHECK(!name.contains(u'/') && !name.contains(u'\\'));
        FUZZ_CHECK(!name.startsWith(u' ') && !name.endsWith(u' '));
    }
    const auto [ext, name] = SplitNameAndExtension(text);
    FUZZ_CHECK(ext.size() < 7 && !ext.contains(u'.'));
    FUZZ_CHECK(!ext.contains(u'/') && !ext.contains(u'\\') && !name.contains(u'/') && !name.contains(u'\\'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir scratch;
    const QList<QString> fields = Fields(data, size);
    for (const QString& f : fields) CheckPureHelpers(f);

    const QString root = scratch.path() + QStringLiteral("/t");
    QDir(root).removeRecursively();
    QDir().mkpath(root);

    // A folder path below the scratch folder never leaves it; what it returns exists.
    const QString made = CreateFolderPath(root + u'/' + fields.value(0), {});
    FUZZ_CHECK(made.isEmpty() || (made.startsWith(root) && QFileInfo(made).isDir()));
    FUZZ_CHECK(QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden) ==
               QStringList{QStringLiteral("t")});

    // The other fields are files that exist; a numbered path is free and stays in the folder.
    for (qsizetype i = 1; i < fields.size(); ++i) {
        const QString file = SanitizeFileName(fields.at(i));
        if (file.isEmpty()) continue;
        QFile f(root + u'/' + file);
        if (!f.open(QIODevice::WriteOnly)) continue;
        f.close();
        FUZZ_CHECK(FileExists(root + u'/' + file));
        const QString numbered = UniqueNumberedPath(root + u'/' + file);
        FUZZ_CHECK(numbered.startsWith(root + u'/'));
        FUZZ_CHECK(!numbered.mid(root.size() + 1).contains(u'/'));
        FUZZ_CHECK(!QFileInfo::exists(numbered));
    }
    return 0;
}
