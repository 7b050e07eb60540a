#include "download/SavedFileNaming.h"
#include "common/FileHelpers.h"
#include "common/PathSeparator.h"
#include "common/Text.h"
#include "download/DownloadList.h"

#include <QFileInfo>

namespace peldora {

namespace {

QString DotType(const QString& type) {
    return type.isEmpty() ? QString() : u'.' + type;
}

// Digits enough for any counter a folder can reach, few enough that counting on never
// overflows.
constexpr qsizetype kMaxCounterDigits = 18;

// "[7]" style counters: the text between the brackets, trimmed, made of digits only.
bool ReadCounter(const QString& text, qint64* value) {
    const QString t = TrimSpaces(text);
    if (t.isEmpty() || t.size() > kMaxCounterDigits) return false;
    for (const QChar c : t)
        if (c < u'0' || c > u'9') return false;
    bool ok = false;
    *value = t.toLongLong(&ok);
    return ok;
}

QString Counter(qint64 n) {
    return QStringLiteral("[%1]").arg(n, 3, 10, QChar(u'0'));
}

} // namespace

bool 确定是需要下载(DownloadList& list, int row, SameNamePolicy policy) {
    if (!list.isValidRow(row)) return true;
    const QString path = list.RowFilePath(row);
    if (policy != SameNamePolicy::Skip || !FileExists(path)) return true;
    const QString length = QString::number(QFileInfo(path).size());
    list.setStatus(row, RowStatus::Completed);
    list.setText(row, ColSize, length);
    list.setText(row, ColReceived, length);
    list.setText(row, ColPercent, QStringLiteral("已存在，跳过"));
    return false;
}

SavePath 重命名保存路径(const QString& folder, const QString& name, const QString& type,
                        SameNamePolicy policy, const std::function<bool(const QString&)>& taken) {
    const auto FileExists = [&taken](const QString& path) {
        return peldora::FileExists(path) || (taken && taken(path));
    };
    const QString dir = WithTrailingSep(folder);
    const QString dotType = DotType(type);
    QString base = SanitizeFileName(name);
    // No folder, or nothing that names a file inside it: no target, so nothing is written to
    // the root or beside the folder.
    if (TrimSpaces(folder).isEmpty() || !NamesFileInFolder(base + dotType)) return {QString(), base};
    if (policy == SameNamePolicy::Overwrite || !FileExists(dir + base + dotType))
        return {dir + base + dotType, base};

    // A counter counts only where it ends the name: "report [12] draft" is a name, not
    // "report" with a counter.
    qint64 n = 0;
    const qsizetype open = base.lastIndexOf(u'[');
    const qsizetype close = base.size() - 1;
    const bool counted = open >= 0 && base.endsWith(u']') &&
                         ReadCounter(base.mid(open + 1, close - open - 1), &n);
    if (counted)
        base.truncate(open);
    else
        n = 0;
    base.replace(u'[', u'『').replace(u']', u'』');

    // A name that was only a counter keeps one: an empty name would be the folder itself or
    // a hidden ".type".
    QString finalName = n != 0 || (counted && base.isEmpty()) ? base + Counter(n) : base;
    while (FileExists(dir + finalName + dotType)) finalName = base + Counter(++n);
    return {dir + finalName + dotType, finalName};
}

} // namespace peldora
