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
    // Cut on the text itself, counting the bytes each character takes in UTF-8: a round trip
    // through bytes would turn a lone surrogate into "?" and drop a leading U+FEFF.
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const char16_t c = text.at(i).unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                          QChar::isLowSurrogate(text.at(i + 1).unicode());
        // A lone surrogate counts as the three bytes of the replacement character.
        const int size = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (bytes + size > maxBytes) break;
        bytes += size;
        i += pair ? 2 : 1;
    }
    return text.left(i);
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
