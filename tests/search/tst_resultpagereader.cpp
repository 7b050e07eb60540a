#include "ResultPageMarkup.h"
#include "search/ResultPageReader.h"
#include "search/SearchList.h"
#include "support/FakeBrowser.h"
#include "support/TestContext.h"

#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {
const QString kPage = QStringLiteral("https://www.jstage.jst.go.jp/result/global/-char/en");

QStringList Titles(const SearchList& list) {
    QStringList out;
    for (const SearchListRow& r : list.rows()) out << r.title;
    return out;
}
QStringList Keys(const SearchList& list) {
    QStringList out;
    for (const SearchListRow& r : list.rows()) out << r.key;
    return out;
}

// Builds a snapshot element by element, for pages too deep to spell as markup.
class PageBuilder {
public:
    explicit PageBuilder(const QString& url) {
        m_snap.url = url;
        m_snap.isHtml = true;
    }
    void open(const QString& tag, const QString& cls = {}, const QString& text = {},
              const QString& href = {}) {
        DomElement e;
        e.tag = tag;
        e.className = cls;
        e.innerText = text;
        e.href = href;
        e.parent = m_open.isEmpty() ? -1 : m_open.last();
        if (tag == u"div" && m_snap.elements.isEmpty()) e.id = QStringLiteral("search-resultslist-wrap");
        m_open << int(m_snap.elements.size());
        m_snap.elements << e;
    }
    void close() { m_snap.elements[m_open.takeLast()].end = int(m_snap.elements.size()); }
    void leaf(const QString& tag, const QString& cls, const QString& text = {}) {
        open(tag, cls, text);
        close();
    }
    DomSnapshot done() {
        while (!m_open.isEmpty()) close();
        return m_snap;
    }

private:
    DomSnapshot m_snap;
    QList<int> m_open;
};
} // namespace

class ResultPageReaderTest : public QObject {
    Q_OBJECT
private slots:
    void entryShapes_data();
    void entryShapes();
    void rowCarriesPageFolderTypeAndMarker();
    void nestedListsLastBlockWins();
    void deepNestingEachEntrySeesItsSubtree();
    void pagesWithoutEntries_data();
    void pagesWithoutEntries();
    void readingTwiceAddsNothingButCountsAgain();
    void readsTheBrowserPageAndRefreshesCounter();
};

// Each row: one entry's markup, and the (title, pdf) it must yield or nothing.
void ResultPageReaderTest::entryShapes_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("pdf");
    const QString pdf = QStringLiteral("https://www.jstage.jst.go.jp/article/a/1/1/1_1/_pdf");
    QTest::newRow("english") << EntryMarkup({QStringLiteral("Cell walls"), pdf}) << "Cell walls"
                             << pdf;
    QTest::newRow("japanese link") << EntryMarkup({QString::fromUtf16(u"細胞壁の研究"), pdf,
                                                   QString::fromUtf16(u"PDF形式でダウンロード")})
                                   << QString::fromUtf16(u"細胞壁の研究") << pdf;
    QTest::newRow("link text case and spaces")
        << QStringLiteral("<li><div class=\"searchlist-title\">T</div><div class=\"lft\">"
                          "<a href=\"%1\" data-text=\"  DOWNLOAD pdf \">x</a></div></li>")
               .arg(pdf)
        << "T" << pdf;
    QTest::newRow("class in capitals")
        << QStringLiteral("<li><div class=\"SearchList-Title\">T</div><div class=\"LFT\">"
                          "<a href=\"%1\">Download PDF</a></div></li>")
               .arg(pdf)
        << "T" << pdf;
    QTest::newRow("amp in address")
        << EntryMarkup({QStringLiteral("T"), QStringLiteral("/pdf?a=1&amp;amp;b=2&amp;AMP;c=3")})
        << "T"
        << "https://www.jstage.jst.go.jp/pdf?a=1&b=2&c=3";
    QTest::newRow("only U+0020 trimmed")
        << QStringLiteral(
               "<li><div class=\"searchlist-title\" data-text=\"  a&#9;b\u00a0 \">x</div>"
               "<div class=\"lft\"><a href=\"%1\">Download PDF</a></div></li>")
               .arg(pdf)
        << QStringLiteral("a\tb\u00a0") << pdf;
    QTest::newRow("abstract link before pdf")
        << QStringLiteral("<li><div class=\"searchlist-title\">T</div><div class=\"lft\">"
                          "<a href=\"/abs\">Abstract</a><a href=\"%1\">Download PDF</a></div></li>")
               .arg(pdf)
        << QString() << QString();
    QTest::newRow("no title block")
        << QStringLiteral("<li><div class=\"lft\"><a href=\"%1\">Download PDF</a></div></li>")
               .arg(pdf)
        << QString() << QString();
    QTest::newRow("title only spaces")
        << QStringLiteral("<li><div class=\"searchlist-title\" data-text=\"   \">x</div>"
                          "<div class=\"lft\"><a href=\"%1\">Download PDF</a></div></li>")
               .arg(pdf)
        << QString() << QString();
    QTest::newRow("two class names")
        << QStringLiteral("<li><div class=\"searchlist-title\">T</div><div class=\"lft clearfix\">"
                          "<a href=\"%1\">Download PDF</a></div></li>")
               .arg(pdf)
        << QString() << QString();
    QTest::newRow("title class with second name")
        << QStringLiteral("<li><div class=\"searchlist-title bold\">T</div><div class=\"lft\">"
                          "<a href=\"%1\">Download PDF</a></div></li>")
               .arg(pdf)
        << QString() << QString();
    QTest::newRow("other link text")
        << EntryMarkup({QStringLiteral("T"), pdf, QStringLiteral("Download PDF (1MB)")})
        << QString() << QString();
    QTest::newRow("link block not a div")
        << QStringLiteral("<li><div class=\"searchlist-title\">T</div><span class=\"lft\">"
                          "<a href=\"%1\">Download PDF</a></span></li>")
               .arg(pdf)
        << QString() << QString();
    QTest::newRow("pdf link nested deeper")
        << QStringLiteral("<li><div class=\"searchlist-title\">T</div><div class=\"lft\"><p><span>"
                          "<a href=\"%1\">Download PDF</a></span></p></div></li>")
               .arg(pdf)
        << "T" << pdf;
    QTest::newRow("last title wins")
        << QStringLiteral("<li><div class=\"searchlist-title\">First</div><div class=\"lft\">"
                          "<a href=\"%1\">Download PDF</a></div>"
                          "<div class=\"searchlist-title\">Second</div></li>")
               .arg(pdf)
        << "Second" << pdf;
}

void ResultPageReaderTest::entryShapes() {
    QFETCH(QString, entry);
    QFETCH(QString, title);
    QFETCH(QString, pdf);
    const DomSnapshot page = SnapshotFromMarkup(PageMarkup({entry}), kPage);
    QVERIFY(page.isHtml);
    SearchList list;
    const int offered = ReadResultPage(page, list, {});
    QCOMPARE(offered, title.isEmpty() ? 0 : 1);
    QCOMPARE(Titles(list), title.isEmpty() ? QStringList() : QStringList{title});
    QCOMPARE(Keys(list), pdf.isEmpty() ? QStringList() : QStringList{pdf});
}

void ResultPageReaderTest::rowCarriesPageFolderTypeAndMarker() {
    const DomSnapshot page = SnapshotFromMarkup(
        PageMarkup({EntryMarkup({QStringLiteral("T"), QStringLiteral("/a.pdf")})}), kPage);
    SearchList list;
    ReadResultPage(page, list, QStringLiteral("/home/u/papers/"));
    QCOMPARE(list.size(), 1);
    const SearchListRow& r = list.row(0);
    QCOMPARE(r.tag, kPage);
    QCOMPARE(r.saveFolder, QStringLiteral("/home/u/papers/"));
    QCOMPARE(r.type, QStringLiteral("pdf"));
    QCOMPARE(r.marker, QStringLiteral("ss-en"));
    QVERIFY(r.status.isEmpty());
}

// Every li below the wrap is an entry, and an outer entry sees its inner entry's blocks last.
void ResultPageReaderTest::nestedListsLastBlockWins() {
    const QString inner = EntryMarkup({QStringLiteral("Inner"), QStringLiteral("/inner.pdf")});
    const QString outer =
        QStringLiteral("<li><div class=\"searchlist-title\">Outer</div><div class=\"lft\">"
                       "<a href=\"/outer.pdf\">Download PDF</a></div><ul>%1</ul></li>")
            .arg(inner);
    const QString outside =
        QStringLiteral("<ul><li><div class=\"searchlist-title\">Outside</div><div class=\"lft\">"
                       "<a href=\"/outside.pdf\">Download PDF</a></div></li></ul>");
    const QString markup =
        PageMarkup({outer, EntryMarkup({QStringLiteral("Third"), QStringLiteral("/third.pdf")})})
            .replace(QStringLiteral("</body>"), outside + "</body>");
    SearchList list;
    QCOMPARE(ReadResultPage(SnapshotFromMarkup(markup, kPage), list, {}), 3);
    QCOMPARE(Titles(list), (QStringList{QStringLiteral("Inner"), QStringLiteral("Third")}));
    QCOMPARE(list.row(0).key, QStringLiteral("https://www.jstage.jst.go.jp/inner.pdf"));
}

// 2,000 entries, each nested in the one before, with their own blocks after the inner entry,
// so an entry's own blocks are the last it reads. Odd entries have no blocks: they take the
// last ones of the entry inside them.
void ResultPageReaderTest::deepNestingEachEntrySeesItsSubtree() {
    constexpr int kLevels = 2000;
    PageBuilder b(kPage);
    b.open(QStringLiteral("div")); // the results wrap
    for (int k = 0; k < kLevels; ++k) b.open(QStringLiteral("li"));
    for (int k = kLevels - 1; k >= 0; --k) {
        if (k % 2 == 0) {
            b.leaf(QStringLiteral("div"), QStringLiteral("searchlist-title"), QStringLiteral("T%1").arg(k));
            b.open(QStringLiteral("div"), QStringLiteral("lft"));
            b.open(QStringLiteral("a"), {}, QStringLiteral("Download PDF"), QStringLiteral("/p%1").arg(k));
            b.close();
            b.close();
        }
        b.close(); // li k
    }
    SearchList list;
    // The innermost entry is odd and has nothing below it.
    QCOMPARE(ReadResultPage(b.done(), list, {}), kLevels - 1);
    QCOMPARE(list.size(), kLevels / 2);
    for (int i = 0; i < list.size(); ++i) {
        QCOMPARE(list.row(i).title, QStringLiteral("T%1").arg(2 * i));
        QCOMPARE(list.row(i).key, QStringLiteral("/p%1").arg(2 * i));
    }
}

void ResultPageReaderTest::pagesWithoutEntries_data() {
    QTest::addColumn<QString>("markup");
    QTest::addColumn<bool>("html");
    const QString entry = EntryMarkup({QStringLiteral("T"), QStringLiteral("/a.pdf")});
    QTest::newRow("blank") << QString() << false;
    QTest::newRow("not markup") << QStringLiteral("%PDF-1.4 binary") << false;
    QTest::newRow("start page")
        << QStringLiteral("<html><body><ul>%1</ul></body></html>").arg(entry) << true;
    QTest::newRow("wrap not a div")
        << QStringLiteral("<html><body><ul id=\"search-resultslist-wrap\">%1</ul></body></html>")
               .arg(entry)
        << true;
    QTest::newRow("wrap id in other case")
        << QStringLiteral("<html><body><div id=\"Search-Resultslist-Wrap\"><ul>%1</ul></div>"
                          "</body></html>")
               .arg(entry)
        << true;
}

void ResultPageReaderTest::pagesWithoutEntries() {
    QFETCH(QString, markup);
    QFETCH(bool, html);
    const DomSnapshot page = SnapshotFromMarkup(markup, kPage);
    QCOMPARE(page.isHtml, html);
    SearchList list;
    QCOMPARE(ReadResultPage(page, list, {}), 0);
    QCOMPARE(list.size(), 0);
}

void ResultPageReaderTest::readingTwiceAddsNothingButCountsAgain() {
    const DomSnapshot page = SnapshotFromMarkup(
        PageMarkup({EntryMarkup({QStringLiteral("A"), QStringLiteral("/a.pdf")}),
                    EntryMarkup({QStringLiteral("B"), QStringLiteral("/b.pdf")})}),
        kPage);
    SearchList list;
    QCOMPARE(ReadResultPage(page, list, QStringLiteral("/first/")), 2);
    QCOMPARE(ReadResultPage(page, list, QStringLiteral("/second/")), 2);
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.row(1).saveFolder, QStringLiteral("/first/"));
}

// Through the browser: the reader must ask for the rendered text it reads (the fake leaves
// innerText empty elsewhere), and AddCurrentPage refreshes the counter even for an empty page.
void ResultPageReaderTest::readsTheBrowserPageAndRefreshesCounter() {
    FakeBrowser browser;
    SearchList list;
    int refreshes = 0;
    const PageHarvest harvest{browser, list, [&] { ++refreshes; }};
    browser.show(SnapshotFromMarkup(
        PageMarkup({EntryMarkup({QStringLiteral("A"), QStringLiteral("/a.pdf")}),
                    EntryMarkup({QString::fromUtf16(u"日本語の題名"), QStringLiteral("/b.pdf"),
                                 QString::fromUtf16(u"PDF形式でダウンロード")})}),
        kPage));
    QCOMPARE(AddCurrentPage(harvest, {}), 2);
    QCOMPARE(Titles(list), (QStringList{QStringLiteral("A"), QString::fromUtf16(u"日本語の題名")}));
    QCOMPARE(refreshes, 1);
    browser.show(SnapshotFromMarkup(QString(), QStringLiteral("about:blank")));
    QCOMPARE(AddCurrentPage(harvest, {}), 0);
    QCOMPARE(refreshes, 2);
    QCOMPARE(list.size(), 2);
}

PELDORA_TEST_MAIN(ResultPageReaderTest)
#include "tst_resultpagereader.moc"
