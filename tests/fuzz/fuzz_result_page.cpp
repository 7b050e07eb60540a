// The document snapshot and the result-page reader. An input starting with "{" is the page
// script's JSON; any other input is read as a page of elements, three bytes each (tag and how
// far up the tree, class, text and address), so the fuzzer builds deep and odd result pages
// quickly. The reader must give what the plain walk over the page gives: every li of the
// results wrap, every div of it, the first link of each link block.
#include "FuzzSupport.h"
#include "common/DomSnapshot.h"
#include "common/Text.h"
#include "search/ResultPageReader.h"
#include "search/SearchList.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <vector>

using namespace peldora;
using namespace peldora::fuzz;

namespace {

QByteArray PageFromBytes(const uint8_t* data, size_t size) {
    static const char* const kTags[] = {"li", "div", "a", "ul", "span", "div", "li", "DIV"};
    static const char* const kClasses[] = {"searchlist-title", "lft", "LFT", "lft x", "",
                                           "SearchList-Title", "other", ""};
    static const char* const kTexts[] = {"Download PDF", "  download pdf ", "PDF形式でダウンロード",
                                         "Abstract", "", "   ", "Title", "Download PDF (1MB)"};
    static const char* const kHrefs[] = {"https://h/a.pdf", "https://h/b?x=1&amp;y=2", "",
                                         "https://h/c.pdf", "https://h/&AMP;d"};
    QJsonArray rows;
    QList<int> open; // the chain of ancestors of the next element
    rows.append(QJsonArray{"div", "search-resultslist-wrap", "", "", "", "", "", "", -1});
    open << 0;
    for (size_t i = 0; i + 2 < size; i += 3) {
        const uint8_t a = data[i], b = data[i + 1], c = data[i + 2];
        // Bits 3-5 of the first byte: how many open elements this one closes first.
        for (int up = (a >> 3) & 7; up > 0 && open.size() > 1; --up) open.removeLast();
        // Bit 7 sends a raw parent index, which need not be open (a malformed row).
        const int parent = (a & 0x80) ? int(b) - 2 : open.last();
        const QString id = (c & 0xF0) == 0xF0 ? QStringLiteral("search-resultslist-wrap") : QString();
        rows.append(QJsonArray{kTags[a & 7], id, kClasses[b & 7], QString::fromUtf8(kTexts[c & 7]),
                               kHrefs[(c >> 3) % 5], "", "", "", parent});
        open << int(rows.size()) - 1;
    }
    return QJsonDocument(QJsonObject{{"url", "https://h/result"}, {"html", true}, {"elements", rows}})
        .toJson(QJsonDocument::Compact);
}

struct Row {
    QString title, pdf;
    bool operator==(const Row&) const = default;
};

// The walk as the reader describes it, element by element.
QList<Row> PlainWalk(const DomSnapshot& page) {
    QList<Row> out;
    if (!page.isHtml) return out;
    const int wrap = page.getElementById(QStringLiteral("search-resultslist-wrap"));
    if (!page.valid(wrap) || page.at(wrap).tag != QStringLiteral("div")) return out;
    for (const int entry : page.getElementsByTagName(QStringLiteral("li"), wrap)) {
        QString title, pdf;
        for (const int d : page.getElementsByTagName(QStringLiteral("div"), entry)) {
            const QString cls = page.at(d).className.toLower();
            if (cls == QStringLiteral("searchlist-title")) title = TrimSpaces(page.at(d).innerText);
            if (cls == QStringLiteral("lft")) {
                const QList<int> links = page.getElementsByTagName(QStringLiteral("a"), d);
                if (links.isEmpty()) continue;
                const QString t = TrimSpaces(page.at(links.first()).innerText).toLower();
                if (t == QStringLiteral("download pdf") || t == QStringLiteral("pdf形式でダウンロード"))
                    pdf = page.at(links.first()).href;
            }
        }
        if (title.isEmpty() || pdf.isEmpty()) continue;
        out << Row{title, pdf.replace(QStringLiteral("&amp;"), QStringLiteral("&"), Qt::CaseInsensitive)};
    }
    return out;
}

void CheckTree(const DomSnapshot& page) {
    const int n = int(page.elements.size());
    std::vector<int> descendants(n, 0);
    for (int i = n - 1; i >= 0; --i) {
        const DomElement& e = page.at(i);
        FUZZ_CHECK(e.end > i && e.end <= n);
        FUZZ_CHECK(e.parent >= -1 && e.parent < i);
        if (e.parent >= 0) descendants[e.parent] += descendants[i] + 1;
        // Every ancestor's run holds the element...
        for (int p = e.parent; p >= 0; p = page.at(p).parent) FUZZ_CHECK(i < page.at(p).end);
    }
    // ...and holds nothing else: the run after an element is exactly its descendants.
    for (int i = 0; i < n; ++i) FUZZ_CHECK(page.at(i).end - i - 1 == descendants[i]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray json = size > 0 && data[0] == '{'
                                ? QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))
                                : PageFromBytes(data, size);
    const DomSnapshot page = DomSnapshot::FromJson(json);
    const int n = int(page.elements.size());
    // The ancestor walk and the plain walk take quadratic time and more in the depth; deep
    // pages (kept for the time the reader once took on them) are only read.
    if (n <= 2000) CheckTree(page);
    FUZZ_CHECK(DomSnapshot::FromJson(page.toJson()).toJson() == page.toJson());

    SearchList list;
    const int offered = ReadResultPage(page, list, QStringLiteral("/f/"));
    if (n <= 150) {
        const QList<Row> expected = PlainWalk(page);
        FUZZ_CHECK(offered == expected.size());
        SearchList plain;
        for (const Row& r : expected)
            plain.加入LV1(r.title, r.pdf, page.url, QStringLiteral("pdf"), QStringLiteral("/f/"),
                          QStringLiteral("ss-en"));
        FUZZ_CHECK(list.size() == plain.size());
        for (int i = 0; i < list.size(); ++i) {
            FUZZ_CHECK(list.row(i).title == plain.row(i).title);
            FUZZ_CHECK(list.row(i).key == plain.row(i).key);
        }
    }
    return 0;
}
