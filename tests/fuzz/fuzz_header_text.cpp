// The header and name helpers on any text: fields are a header block or value, then a byte
// count for LeftBytesAnsi.
#include "FuzzSupport.h"
#include "common/HeaderText.h"

using namespace peldora;
using namespace peldora::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QString> fields = Fields(data, size);
    const QString text = fields.value(0);
    const int maxBytes = fields.size() > 1 ? int(fields.at(1).size() * 7 % 260) : 200;

    const QString disposition = 从网络文件Header获取ContentDisposition(text);
    FUZZ_CHECK(disposition.isEmpty() || text.contains(disposition));

    const QString ext = 从下载头信息ContentDisposition获取文件名(text);
    FUZZ_CHECK(ext.size() <= 5);
    for (const QChar c : ext) FUZZ_CHECK((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'));

    const QString clean = CleanHeaderText(text);
    for (const QChar c : clean)
        FUZZ_CHECK(c != u'\r' && c != u'\n' && c != u'\t' && c != QChar(u'\0'));
    FUZZ_CHECK(!clean.startsWith(u' ') && !clean.endsWith(u' '));
    FUZZ_CHECK(CleanHeaderText(clean) == clean);

    // The cut keeps the text as it was up to a character boundary, as much as fits.
    const QString cut = LeftBytesAnsi(text, maxBytes);
    FUZZ_CHECK(text.startsWith(cut));
    int bytes = 0;
    for (qsizetype i = 0; i < cut.size(); i += Utf8Size(cut, i) == 4 ? 2 : 1) bytes += Utf8Size(cut, i);
    FUZZ_CHECK(bytes <= maxBytes);
    FUZZ_CHECK(cut.toUtf8().size() <= maxBytes);
    if (cut.size() < text.size()) FUZZ_CHECK(bytes + Utf8Size(text, cut.size()) > maxBytes);
    if (!cut.isEmpty()) FUZZ_CHECK(!cut.back().isHighSurrogate() || cut.size() == text.size() ||
                                   !text.at(cut.size()).isLowSurrogate());

    FUZZ_CHECK(text.startsWith(GetUrlRoot(text)));
    return 0;
}
