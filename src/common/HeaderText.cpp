#include "common/HeaderText.h"
#include "common/Text.h"

#include <QStringList>

namespace peldora {

QString 从网络文件Header获取ContentDisposition(const QString& rawHeaders) {
    static const QString kName = QStringLiteral("content-disposition:");
    const auto lines = rawHeaders.split(QStringLiteral("\r\n"));
    for (const QString& raw : lines) {
        const QString line = TrimSpaces(raw);
        if (line.left(20).toLower() == kName) return TrimSpaces(line.mid(20));
    }
    return {};
}

QString 从下载头信息ContentDisposition获取文件名(const QString& contentDisposition) {
    const QString value = TrimSpaces(contentDisposition);
    const qsizetype at = value.indexOf(QStringLiteral("filename="), 0, Qt::CaseInsensitive);
    if (at < 0) return {};
    QString name = TrimSpaces(value.mid(at + 9));
    const qsizetype semicolon = name.indexOf(u';');
    if (semicolon >= 0) name = TrimSpaces(name.left(semicolon));
    name.remove(u'"');
    name.remove(u'\'');
    name = CleanHeaderText(name);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) return {};
    QString ext = TrimSpaces(name.mid(dot + 1));
    qsizetype letters = 0;
    while (letters < ext.size()) {
        const char16_t c = ext.at(letters).unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))) break;
        ++letters;
    }
    ext.truncate(letters);
    return ext.size() > 5 ? QString() : ext;
}

QString CleanHeaderText(const QString& text) {
    QString out = text;
    out.remove(QStringLiteral("\r\n"));
    out.remove(QChar(u'\0'));
    out.remove(u'\n');
    out.remove(u'\r');
    out.remove(u'\t');
    return TrimSpaces(out);
}

QString LeftBytesAnsi(const QString& text, int maxBytes) {
    if (maxBytes <= 0) return {};
    // Quick exit: no UTF-8 character is longer than three bytes per UTF-16 code unit.
    if (text.size() * 3 <= maxBytes) return QString::fromUtf8(text.toUtf8());
    QByteArray bytes = text.toUtf8();
    if (bytes.size() <= maxBytes) return QString::fromUtf8(bytes);
    qsizetype cut = maxBytes;
    // Back off to the start of the character the cut falls into (continuation bytes are 10xxxxxx).
    while (cut > 0 && (static_cast<unsigned char>(bytes.at(cut)) & 0xC0) == 0x80) --cut;
    bytes.truncate(cut);
    return QString::fromUtf8(bytes);
}

QString GetUrlRoot(const QString& address) {
    // Positions below are 0-based; the rule compares the slash with the position just after "://"
    // (or with the fourth character when there is no scheme).
    const qsizetype scheme = address.indexOf(QStringLiteral("://"));
    qsizetype start;
    qsizetype slash;
    if (scheme >= 0) {
        start = scheme + 3;
        slash = address.indexOf(u'/', start);
    } else {
        start = 2;
        slash = address.indexOf(u'/');
    }
    if (slash < 0 || slash <= start) return address;
    return address.left(slash);
}

} // namespace peldora
