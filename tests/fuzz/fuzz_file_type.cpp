// 打开文件判断文件类型 on any file content.
#include "FuzzSupport.h"
#include "download/FileTypeCheck.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

using namespace peldora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir scratch;
    static const QSet<QString> kKinds = {"", "pdf", "caj", "kdh", "nh", "tif", "rtf", "exe", "rar",
                                         "zip", "docx", "swf", "rm", "wma", "mp3", "png", "gif",
                                         "jpg", "doc", "xls", "ppt", "htm", "caa"};
    const QString path = scratch.path() + QStringLiteral("/file");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    f.write(reinterpret_cast<const char*>(data), qint64(size));
    f.close();
    const FileKind kind = 打开文件判断文件类型(path);
    FUZZ_CHECK(kKinds.contains(kind));
    FUZZ_CHECK(打开文件判断文件类型(path) == kind);
    // A PDF is told by its first bytes alone.
    if (size >= 4 && memcmp(data, "%PDF", 4) == 0) FUZZ_CHECK(kind == QStringLiteral("pdf"));
    return 0;
}
