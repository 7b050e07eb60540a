// The cache viewer over the real disk cache of the program's browser profile, filled by loading
// pages from a local server: entries listed with their addresses, a cached PDF copied out byte
// for byte, the deletions, the one-step clear.
#include "platform/qt/WebEngineBrowser.h"
#include "platform/qt/WebProfile.h"
#include "support/BrowserWaits.h"
#include "support/TestHttpServer.h"
#include "support/ui/UiTest.h"
#include "tools/BrowserCache.h"
#include "tools/ui/CacheViewerWindow.h"
#include "tools/ui/CopyMoveDialog.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QItemSelectionModel>
#include <QWebEngineProfile>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

// A PDF with binary bytes in it: a copy that kept any framing or changed a byte shows.
QByteArray PdfBytes() {
    QByteArray pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n";
    for (int i = 0; i < 40000; ++i) pdf += char(i * 7 % 256);
    pdf += "\n%%EOF\n";
    return pdf;
}

HttpResponse Cached(HttpResponse r) {
    r.setHeader("Cache-Control", "public, max-age=86400");
    r.setHeader("Last-Modified", "Mon, 01 Jan 2024 00:00:00 GMT");
    return r;
}

const QByteArray kPage =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>loading</title></head><body>"
    "<img src=\"/logo.png\"><script>"
    "Promise.all(['/files/paper.pdf', '/track/cookie-sync.js', '/notes.txt?x=1']"
    ".map(u => fetch(u).then(r => r.arrayBuffer())))"
    ".then(() => { document.title = 'done'; });"
    "</script></body></html>";

const QByteArray kPng = QByteArray::fromBase64(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==");

const CacheRow* FindRow(const BrowserCacheViewer& viewer, const QString& url) {
    for (const CacheRow& row : const_cast<BrowserCacheViewer&>(viewer).list().rows())
        if (row.text == url) return &row;
    return nullptr;
}

int RowOf(BrowserCacheViewer& viewer, const QString& url) {
    for (int i = 0; i < viewer.list().rows().size(); ++i)
        if (viewer.list().rows().at(i).text == url) return i;
    return -1;
}

} // namespace

class CacheViewerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void listsTheFilledCache();
    void copiesACachedPdfOutAsItWas();
    void unreadableEntriesAreListedAsFarAsTheyGo();
    void deleteSelectedThenAllKeepsCookieRows();
    void clearCommandEmptiesTheCache();

private:
    void fillCache();
    TestHttpServer m_server;
    QString m_pdfUrl;
};

void CacheViewerTest::initTestCase() {
    m_server.route(QStringLiteral("/page.html"),
                   [](const HttpRequest&) { return Cached(HttpResponse::Html(kPage)); });
    m_server.route(QStringLiteral("/logo.png"),
                   [](const HttpRequest&) { return Cached(HttpResponse::Data(kPng, "image/png")); });
    m_server.route(QStringLiteral("/files/paper.pdf"), [](const HttpRequest&) {
        return Cached(HttpResponse::Data(PdfBytes(), "application/pdf"));
    });
    m_server.route(QStringLiteral("/track/cookie-sync.js"), [](const HttpRequest&) {
        return Cached(HttpResponse::Data("var c = 1;", "application/javascript"));
    });
    m_server.route(QStringLiteral("/notes.txt"), [](const HttpRequest&) {
        return Cached(HttpResponse::Data("plain notes", "text/plain"));
    });
    QVERIFY(m_server.start());
    m_pdfUrl = m_server.url(QStringLiteral("/files/paper.pdf"));
    fillCache();
}

void CacheViewerTest::fillCache() {
    WebEngineBrowser browser;
    const QString page = m_server.url(QStringLiteral("/page.html"));
    QVERIFY(OpenAndWait(browser, page, [&] { browser.navigate(page); }));
    QTRY_COMPARE_WITH_TIMEOUT(browser.title(), QStringLiteral("done"), 20000);
    // The browser writes its entries in the background; they are whole once closed.
    TestContext t;
    BrowserCacheViewer viewer(t.ctx(), SharedCacheLayout());
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            viewer.GetCacheURLList();
            const CacheRow* pdf = FindRow(viewer, m_pdfUrl);
            return pdf && pdf->size == PdfBytes().size() &&
                   FindRow(viewer, m_server.url(QStringLiteral("/track/cookie-sync.js")));
        }(),
        30000);
}

void CacheViewerTest::listsTheFilledCache() {
    TestContext t;
    CacheViewerWindow window(t.ctx(), SharedCacheLayout());
    QCOMPARE(window.label1()->text(), QStringLiteral("000"));
    window.command(1)->click();
    BrowserCacheViewer& viewer = window.viewer();
    QCOMPARE(viewer.viewMark(), kMyCacheMark);
    const CacheRow* pdf = FindRow(viewer, m_pdfUrl);
    QVERIFY(pdf);
    QCOMPARE(pdf->type, QStringLiteral("pdf"));
    QVERIFY(pdf->filePath.startsWith(SharedCacheLayout().myCacheFolder));
    QVERIFY(pdf->filePath.endsWith(QStringLiteral("_0")));
    const CacheRow* page = FindRow(viewer, m_server.url(QStringLiteral("/page.html")));
    QVERIFY(page);
    QCOMPARE(page->type, QStringLiteral("html"));
    QVERIFY(FindRow(viewer, m_server.url(QStringLiteral("/logo.png"))));
    QCOMPARE(FindRow(viewer, m_server.url(QStringLiteral("/notes.txt?x=1")))->type,
             QStringLiteral("txt"));
    const int count = int(viewer.list().rows().size());
    QCOMPARE(window.label1()->text(), QStringLiteral("共有%1 个文件").arg(count));
    QCOMPARE(window.listView(1)->model()->rowCount(), count);

    // The size column sorts by value: twice gives descending sizes.
    window.listView(1)->horizontalHeader()->sectionClicked(2);
    window.listView(1)->horizontalHeader()->sectionClicked(2);
    const QList<CacheRow>& rows = viewer.list().rows();
    for (int i = 1; i < rows.size(); ++i) QVERIFY(rows[i - 1].size >= rows[i].size);
    QCOMPARE(rows.first().text, m_pdfUrl);
}

void CacheViewerTest::copiesACachedPdfOutAsItWas() {
    TestContext t;
    CacheViewerWindow window(t.ctx(), SharedCacheLayout());
    window.command(1)->click();
    const int row = RowOf(window.viewer(), m_pdfUrl);
    QVERIFY(row >= 0);
    window.listView(1)->selectRow(row);
    const QString out = t.dir() + QStringLiteral("/out/");
    QString caption;
    window.onCopyDialog = [&](QDialog& d) {
        auto& dialog = static_cast<CopyMoveDialog&>(d);
        caption = dialog.windowTitle();
        dialog.combo1()->setEditText(out);
        dialog.command1()->click();
    };
    window.command(6)->click();
    QCOMPARE(caption, QStringLiteral("复制文件：1 个文件..."));
    QFile copy(out + QStringLiteral("paper.pdf"));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), PdfBytes());
    QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{"paper.pdf"});
    QCOMPARE(t.dialogs.messageTexts(), QStringList{kCopyDoneMessage});
}

void CacheViewerTest::unreadableEntriesAreListedAsFarAsTheyGo() {
    TestContext t;
    BrowserCacheViewer mine(t.ctx(), SharedCacheLayout());
    mine.GetCacheURLList();
    const CacheRow* pdf = FindRow(mine, m_pdfUrl);
    QVERIFY(pdf);
    QFile real(pdf->filePath);
    QVERIFY(real.open(QIODevice::ReadOnly));
    const QByteArray entry = real.readAll();

    // A cache folder of damaged copies: cut inside the body, cut inside the key, empty, not an
    // entry at all, and a folder that only looks like an entry.
    const QString folder = t.dir() + QStringLiteral("/Cache_Data/");
    QDir().mkpath(folder + QStringLiteral("dir_0"));
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(folder + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(QStringLiteral("a_0"), entry.left(entry.size() / 2));
    write(QStringLiteral("b_0"), entry.left(30));
    write(QStringLiteral("c_0"), QByteArray());
    write(QStringLiteral("d_0"), QByteArray(5000, '\xff'));
    write(QStringLiteral("e_0"), entry);
    BrowserCacheViewer viewer(t.ctx(), MakeCacheLayout(folder, t.dir()));
    viewer.GetCacheURLList();
    QCOMPARE(viewer.list().rows().size(), 2);
    QCOMPARE(viewer.list().rows().at(0).text, m_pdfUrl); // cut off: the address still shows
    QCOMPARE(viewer.list().rows().at(0).size, entry.size() / 2);
    QCOMPARE(viewer.list().rows().at(1).size, PdfBytes().size());
    // The cut-off entry is copied as the file it is; nothing is read beyond it.
    QVERIFY(CacheCopySource(folder + QStringLiteral("a_0")).wholeFile());

    // A missing cache folder lists nothing.
    BrowserCacheViewer none(t.ctx(), MakeCacheLayout(t.dir() + QStringLiteral("/gone"), t.dir()));
    none.GetCacheURLList();
    QVERIFY(none.list().rows().isEmpty());
    QCOMPARE(none.label1(), QStringLiteral("共有0 个文件"));
}

void CacheViewerTest::deleteSelectedThenAllKeepsCookieRows() {
    TestContext t;
    CacheViewerWindow window(t.ctx(), SharedCacheLayout());
    window.command(1)->click();
    BrowserCacheViewer& viewer = window.viewer();
    const QString pageUrl = m_server.url(QStringLiteral("/page.html"));
    const QString cookieUrl = m_server.url(QStringLiteral("/track/cookie-sync.js"));
    const QString pageFile = FindRow(viewer, pageUrl)->filePath;

    // No selection: nothing goes, the list is made again.
    const int before = int(viewer.list().rows().size());
    window.command(2)->click();
    QCOMPARE(int(viewer.list().rows().size()), before);

    window.listView(1)->selectRow(RowOf(viewer, pageUrl));
    window.command(2)->click();
    QVERIFY(!QFileInfo::exists(pageFile));
    QVERIFY(!FindRow(viewer, pageUrl));
    QVERIFY(FindRow(viewer, m_pdfUrl));

    window.command(3)->click();
    QCOMPARE(viewer.list().rows().size(), 1);
    QCOMPARE(viewer.list().rows().first().text, cookieUrl);
    QVERIFY(QDir(SharedCacheLayout().myCacheFolder).exists());
}

void CacheViewerTest::clearCommandEmptiesTheCache() {
    fillCache();
    TestContext t;
    ClearSharedBrowserCache(t.ctx());
    QCOMPARE(t.dialogs.messageTexts(), QStringList{kCacheClearedMessage});
    QCOMPARE(t.dialogs.messages.first().icon, MessageIcon::Information);
    BrowserCacheViewer viewer(t.ctx(), SharedCacheLayout());
    viewer.GetCacheURLList();
    QVERIFY(!FindRow(viewer, m_pdfUrl));
    QVERIFY(!FindRow(viewer, m_server.url(QStringLiteral("/page.html"))));
}

PELDORA_UI_TEST_MAIN(CacheViewerTest)
#include "tst_cacheviewer.moc"
