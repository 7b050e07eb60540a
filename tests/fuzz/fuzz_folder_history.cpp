// LoadComboFromFile and SaveComboToFile: the input is the history file.
#include "FuzzSupport.h"
#include "app/SaveLocation.h"
#include "common/Text.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

using namespace peldora;
using namespace peldora::fuzz;

namespace {

QStringList Load(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    f.write(content);
    f.close();
    QStringList list{QStringLiteral("<kept>")};
    LoadComboFromFile(list, path);
    return list;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir scratch;
    const QString path = scratch.path() + QStringLiteral("/SaveList.dat");
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList list = Load(path, content);
    const bool kept = list == QStringList{QStringLiteral("<kept>")};

    if (!kept) {
        // Entries are lines of the file as they stand, without the spaces and marks around them:
        // nothing inside a line is dropped or replaced.
        QSet<QByteArray> lines;
        for (QByteArray line : content.split('\n')) {
            if (line.endsWith('\r')) line.chop(1);
            for (;;) {
                if (line.startsWith(' ')) line.remove(0, 1);
                else if (line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
                else break;
            }
            while (line.endsWith(' ')) line.chop(1);
            lines.insert(line);
        }
        for (const QString& e : list) FUZZ_CHECK(lines.contains(e.toUtf8()));
        FUZZ_CHECK(list.size() <= 100);
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QString& e = list.at(i);
            FUZZ_CHECK(!e.isEmpty() && TrimSpaces(e) == e && !e.startsWith(QChar(0xFEFF)));
            for (const QChar c : e) FUZZ_CHECK(c.unicode() >= 0x20 || c == u'\t');
            for (qsizetype j = 0; j < i; ++j) FUZZ_CHECK(!EqualsNoCase(list.at(j), e));
        }
    }
    // An empty history comes only from a file without entries (blank lines, spaces, marks).
    if (list.isEmpty()) {
        QByteArray rest = content;
        rest.replace("\xEF\xBB\xBF", "");
        for (const char c : {' ', '\r', '\n'}) rest.replace(c, "");
        FUZZ_CHECK(rest.isEmpty());
    }
    // LF and CR LF line ends read alike (a CR elsewhere is no line end).
    if (content.count('\r') == content.count("\r\n")) {
        QByteArray lf = content;
        lf.replace("\r\n", "\n");
        FUZZ_CHECK(Load(path, lf) == list);
    }
    // What was read, written and read again is the same list.
    if (!kept) {
        SaveComboToFile(list, path);
        QStringList again{QStringLiteral("<kept>")};
        LoadComboFromFile(again, path);
        FUZZ_CHECK(again == list);
    }
    return 0;
}
