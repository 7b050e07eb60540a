// 重命名保存路径 and the skip policy in a scratch folder: the first byte picks the policy, the
// fields are the name, the type and the files already in the folder.
#include "FuzzSupport.h"
#include "common/FileHelpers.h"
#include "download/DownloadList.h"
#include "download/SavedFileNaming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace peldora;
using namespace peldora::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir scratch;
    if (size < 1) return 0;
    const SameNamePolicy policy = SameNamePolicy(data[0] % 3);
    const QList<QString> fields = Fields(data + 1, size - 1);
    const QString name = fields.value(0);
    const QString type = fields.value(1);

    const QString dir = scratch.path() + QStringLiteral("/d");
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    for (qsizetype i = 2; i < fields.size(); ++i) {
        if (!NamesFileInFolder(fields.at(i)) || fields.at(i).toUtf8().size() > 255) continue;
        QFile f(dir + u'/' + fields.at(i));
        if (f.open(QIODevice::WriteOnly)) f.write("x");
    }

    const SavePath got = 重命名保存路径(dir, name, type, policy);
    if (!got.path.isEmpty()) {
        // Always one file inside the folder, named by the final name and the type.
        const QString file = got.path.mid(dir.size() + 1);
        FUZZ_CHECK(got.path.startsWith(dir + u'/'));
        FUZZ_CHECK(NamesFileInFolder(file));
        FUZZ_CHECK(file == (type.isEmpty() ? got.name : got.name + u'.' + type));
        // A numbered name keeps no bracket but its counter, which never wraps around.
        if (got.name != SanitizeFileName(name)) FUZZ_CHECK(!got.name.contains(QStringLiteral("[-")));
        // Numbering never empties a name: an empty one was empty from the start.
        FUZZ_CHECK(!got.name.isEmpty() || SanitizeFileName(name).isEmpty());
        // Only overwrite may hand back a file that is there.
        if (policy != SameNamePolicy::Overwrite) FUZZ_CHECK(!QFileInfo(got.path).isFile());
        if (policy == SameNamePolicy::Overwrite) FUZZ_CHECK(got.name == SanitizeFileName(name));
    }

    // The skip policy sees exactly the file the row names.
    DownloadList list;
    list.AddRow(QStringLiteral("k"), name, type, dir, {});
    const QString rowPath = list.RowFilePath(0);
    const bool download = 确定是需要下载(list, 0, SameNamePolicy::Skip);
    FUZZ_CHECK(download == !(!rowPath.isEmpty() && QFileInfo(rowPath).isFile()));
    return 0;
}
