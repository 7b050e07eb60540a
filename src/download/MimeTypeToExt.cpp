#include "download/MimeTypeToExt.h"
#include "common/Text.h"

#include <QStringList>
#include <initializer_list>

namespace peldora {

namespace {

struct Entry {
    std::initializer_list<const char*> subtypes;
    const char* candidate; // nullptr: the subtype itself
};

bool In(const QString& subtype, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (subtype == QLatin1String(n)) return true;
    return false;
}

// An empty subtype or "*" names nothing; any other subtype stands for itself.
QString Fallback(const QString& subtype) {
    if (subtype.isEmpty() || subtype == u'*') return {};
    return subtype;
}

// Tries the entries in order; nullopt-like "no match" is told by *matched.
QString FromTable(const QString& subtype, std::initializer_list<Entry> entries, bool* matched) {
    for (const Entry& e : entries) {
        if (In(subtype, e.subtypes)) {
            *matched = true;
            return e.candidate ? QString::fromLatin1(e.candidate) : subtype;
        }
    }
    *matched = false;
    return {};
}

QString Candidate(const QString& major, const QString& subtype) {
    bool matched = false;
    QString c;
    if (major == u"application") {
        c = FromTable(subtype,
                      {{{"octet-stream"}, ""},
                       {{"x-shockwave-flash"}, "swf"},
                       {{"x-javascript"}, "js"},
                       {{"vnd.rn-realmedia"}, "rm"},
                       {{"vnd.ms-wpl"}, "wpl"},
                       {{"kdh", "caj", "pdf", "caa", "nh"}, nullptr},
                       {{"vnd.ms-works"}, "wps"},
                       {{"ppt", "vnd.ms-powerpoint"}, "ppt"},
                       {{"doc", "msword"}, "doc"},
                       {{"docx", "vnd.openxmlformats-officedocument.wordprocessingml.document"},
                        "docx"},
                       {{"rtf"}, "rtf"},
                       {{"xls", "vnd.ms-excel", "x-excel"}, "xls"},
                       {{"xlsx", "vnd.openxmlformats-officedocument.spreadsheetml.sheet"}, "xlsx"},
                       {{"pptx", "vnd.openxmlformats-officedocument.presentationml.presentation"},
                        "pptx"},
                       {{"pps"}, "pps"},
                       {{"ppsx", "vnd.openxmlformats-officedocument.presentationml.slideshow"},
                        "ppsx"},
                       {{"dll", "x-msdownload"}, "dll"},
                       {{"tar", "x-tar"}, "tar"},
                       {{"tgz", "x-compressed"}, "tgz"},
                       {{"zip", "x-zip-compressed"}, "zip"},
                       {{"z", "x-compress"}, "z"}},
                      &matched);
    } else if (major == u"text") {
        c = FromTable(subtype, {{{"html", "txt", "htm", "xml", "css"}, nullptr}, {{"plain"}, "txt"}},
                      &matched);
    } else if (major == u"image") {
        c = FromTable(subtype,
                      {{{"jpg", "jpeg", "gif", "png", "bmp", "tif", "pjpeg", "g3fax", "ief"}, nullptr},
                       {{"tiff"}, "tif"},
                       {{"x-png"}, "png"},
                       {{"x-ms-bmp"}, "bmp"},
                       {{"x-icon"}, "ico"}},
                      &matched);
    } else if (major == u"video") {
        c = FromTable(subtype,
                      {{{"mpeg"}, "mpeg"},
                       {{"mpeg4"}, "mp4"},
                       {{"x-msvideo"}, "avi"},
                       {{"x-ms-asf"}, "asf"},
                       {{"x-ms-wmv"}, "wmv"},
                       {{"quicktime"}, "mov"}},
                      &matched);
    } else if (major == u"audio") {
        c = FromTable(subtype,
                      {{{"amr"}, "amr"},
                       {{"x-ms-wma"}, "wma"},
                       {{"x-wav"}, "wav"},
                       {{"x-pn-realaudio"}, "ram"},
                       {{"midi"}, "mid"},
                       {{"x-mpegurl"}, "mpeg"}},
                      &matched);
    } else if (major == u"message") {
        c = FromTable(subtype, {{{"rfc822"}, "mht"}}, &matched);
    } else {
        return subtype; // any other major type: the subtype itself
    }
    return matched ? c : Fallback(subtype);
}

} // namespace

QString MimeTypeToExt(const QString& mimeType) {
    const QStringList parts = mimeType.split(u'/');
    QString candidate;
    if (parts.size() != 2) {
        candidate = TrimSpaces(parts.first()).toLower();
    } else {
        const QString major = TrimSpaces(parts.at(0)).toLower();
        QString subtype = TrimSpaces(parts.at(1)).toLower();
        subtype.remove(u' ');
        candidate = Candidate(major, subtype);
    }
    qsizetype end = 0;
    while (end < candidate.size()) {
        const char16_t c = candidate.at(end).unicode();
        const bool alnum = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9');
        if (!alnum) break;
        ++end;
    }
    candidate.truncate(end);
    return candidate.size() > 5 ? QString() : candidate;
}

} // namespace peldora
