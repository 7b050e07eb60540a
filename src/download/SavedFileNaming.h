#pragma once
#include "download/SameNamePolicy.h"

#include <QString>
#include <functional>

namespace peldora {

class DownloadList;

// The skip policy, applied to a waiting row just before its download: when the row's file
// already exists and the policy is skip, the row becomes completed with the file's length in
// columns 2 and 3 and "已存在，跳过" in column 4, and the answer is false (do not download).
// Every other case answers true.
bool 确定是需要下载(DownloadList& list, int row, SameNamePolicy policy);

struct SavePath {
    QString path; // where the file is written
    QString name; // the row's name to go with it
};

// The overwrite and rename policies: the path to save folder + name + "." + type under. When
// the file exists and the policy is not overwrite, the name is numbered "name[001]",
// "name[002]", ... until the path is free; a name that already ends in a counter "[7]"
// continues from it (a name that is only a counter keeps it, "[0]" gives "[000]"), and any
// other square brackets become 『』. The name is cleaned like any
// file name first, so the path never leaves the folder. The path is empty when the folder is
// blank or the name and type name no file inside it (the download then has no target).
// `taken`, when given, names paths that count as existing files (a transfer that is still
// writing them).
SavePath 重命名保存路径(const QString& folder, const QString& name, const QString& type,
                        SameNamePolicy policy,
                        const std::function<bool(const QString&)>& taken = {});

} // namespace peldora
