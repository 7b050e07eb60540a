#pragma once
#include "download/DownloadList.h"

#include <QString>

namespace peldora {

// A row's type that says a web page arrived: "htm" or "html", in any letter case.
inline bool IsHtmType(const QString& type) {
    const QString t = type.toLower();
    return t == u"htm" || t == u"html";
}

// The same with "xml", which method 1 and the web-page commands count too.
inline bool IsWebPageType(const QString& type) {
    return IsHtmType(type) || type.compare(u"xml", Qt::CaseInsensitive) == 0;
}

// A row whose download has ended, well or not.
inline bool IsFinished(RowStatus status) {
    return status == RowStatus::Completed || status == RowStatus::Failed;
}

} // namespace peldora
