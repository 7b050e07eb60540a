// The search window on real Qt WebEngine pages: a small J-STAGE-like site served from
// tests/fixtures/jstage on 127.0.0.1, harvested through the window's own buttons.
#include "app/SettingsStore.h"
#include "platform/Browser.h"
#include "platform/qt/WebEngineBrowser.h"
#include "search/AddAllPages.h"
#include "search/SearchList.h"
#include "search/ui/SearchWindow.h"
#include "search/ResultPageMarkup.h"
#include "support/BrowserWaits.h"
#include "support/ui/UiTest.h"
#include "support/TestHttpServer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

const QString kFolder = QStringLiteral("/data/papers/");

QByteArray FixtureFile(const QString& name) {
    QFile f(QStringLiteral(PELDORA_FIXTURES "/jstage/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A complete entry, then one buried under thousands of nested elements (too deep for the
// browser to render its text).
constexpr int kDepth = 2500;
QByteArray DeepPage(int depth) {
    QByteArray open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<div><span>";
        close += "</span></div>";
    }
    return "<!DOCTYPE html><html><body><div id=\"search-resultslist-wrap\"><ul><li>"
           "<div class=\"searchlist-title\">Shallow Entry</div>"
           "<div class=\"lft\"><a href=\"/article/shallow/_pdf\">Download PDF</a></div></li><li>" +
           open +
           "<div class=\"searchlist-title\">Deep Entry</div>"
           "<div class=\"lft\"><a href=\"/article/deep/_pdf\">Download PDF</a></div>" +
           close + "</li></ul></div></body></html>";
}

// The site: the fixture pages, the second result page optionally slow, and documents that are
// not result pages.
struct Site {
    TestHttpServer server;
    int page2DelayMs = 0;

    Site() {
        server.serveDirectory(QStringLiteral(PELDORA_FIXTURES "/jstage"));
        server.route(QStringLiteral("/result-ja-2.html"), [this](const HttpRequest&) {
            HttpResponse r = HttpResponse::Html(FixtureFile(QStringLiteral("result-ja-2.html")));
            r.delayMs = page2DelayMs;
            return r;
        });
        server.route(QStringLiteral("/doc.pdf"), [](const HttpRequest&) {
            return HttpResponse::Data("%PDF-1.4\n1 0 obj<<>>endobj\ntrailer<<>>\n%%EOF\n",
                                      "application/pdf");
        });
        server.route(QStringLiteral("/picture.png"), [](const HttpRequest&) {
            return HttpResponse::Data(QByteArray::fromBase64(
                                          "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlE"
                                          "QVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg=="),
                                      "image/png");
        });
        server.route(QStringLiteral("/text.txt"), [](const HttpRequest&) {
            return HttpResponse::Data("<div id=\"search-resultslist-wrap\"></div>", "text/plain");
        });
        server.route(QStringLiteral("/never-ends.html"), [](const HttpRequest&) {
            HttpResponse r = HttpResponse::Html("<!DOCTYPE html><html><head><title>slow</title>"
                                                + QByteArray(4096, ' '));
            r.framing = HttpResponse::Framing::Close;
            r.stallAfter = 2000;
            return r;
        });
        server.route(QStringLiteral("/many.html"),
                     [](const HttpRequest&) { return HttpResponse::Html(GeneratedResultPage(5000)); });
        server.route(QStringLiteral("/long-title.html"), [](const HttpRequest&) {
            return HttpResponse::Html(GeneratedResultPage(1, QString(100000, QLatin1Char('T'))));
        });
        server.route(QStringLiteral("/deep.html"),
                     [](const HttpRequest&) { return HttpResponse::Html(DeepPage(kDepth)); });
        server.start();
    }
    QString url(const QString& path) const { return server.url(path); }
};

struct Row {
    QString title;
    QString path; // the PDF address without the site's origin
};

// A loaded search window on the real browser and the real clock, opened at `start`.
struct Window {
    TestContext tc{true};
    QPointer<SearchWindow> window;
    int folderAsked = 0;

    explicit Window(const QString& start) {
        tc.settings.WriteSetting(keys::kSearchWindow, keys::kLastPage, start);
        tc.settings.WriteSetting(keys::kSearchWindow, keys::kDelayIndex, 0);
        window = new SearchWindow(tc.ctx());
        window->askSaveFolder = [this] {
            ++folderAsked;
            tc.ctx().state.saveFolder = kFolder;
        };
        OpenAndWait(window->browser(), start, [this] { window->load(); });
    }
    ~Window() { delete window.data(); }
    Browser& browser() { return window->browser(); }
    SearchList& list() { return window->searchList(); }
    bool open(const QString& address) {
        return OpenAndWait(browser(), address, [&] { browser().navigate(address); });
    }
    QList<Row> rows(const QString& origin) const {
        QList<Row> out;
        for (const SearchListRow& r : window->searchList().rows()) {
            QString path = r.key;
            if (path.startsWith(origin)) path = path.mid(origin.size());
            out.append({r.title, path});
        }
        return out;
    }
};

bool operator==(const Row& a, const Row& b) { return a.title == b.title && a.path == b.path; }
char* toString(const Row& r) { return QTest::toString(r.title + QStringLiteral(" -> ") + r.path); }

const QList<Row> kPage1Rows = {
    {QStringLiteral("Thermal Properties of Rice Straw Composites"),
     QStringLiteral("/article/a1/_pdf/-char/en")},
    {QStringLiteral("Seismic Response of Wooden Houses"),
     QStringLiteral("/article/a5/_pdf/-char/en?x=1&y=2&z=3")},
    {QStringLiteral("Urban Heat Islands in Osaka"), QStringLiteral("/article/a6/_pdf/-char/en")},
    {QStringLiteral("Coastal Sediment Transport"), QStringLiteral("/article/a7/_pdf/-char/en")},
};
const QList<Row> kPage2Rows = {
    {QStringLiteral("日本語論文のタイトル例"), QStringLiteral("/article/b1/_pdf/-char/ja")},
    {QStringLiteral("Genome Analysis of Japanese Cedar"),
     QStringLiteral("/article/b2/_pdf/-char/ja")},
};
const QList<Row> kPage3Rows = {
    {QStringLiteral("Nanoparticle Toxicity in Fish"), QStringLiteral("/article/c1/_pdf/-char/en")},
};

} // namespace

Q_DECLARE_METATYPE(QList<Row>)

class SearchWebEngineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void addThisPageReadsEveryCompleteEntry_data();
    void addThisPageReadsEveryCompleteEntry();
    void addAllWalksEveryPageAndEnds();
    void stopDuringWaitEndsRunAndCloseIsRefused();
    void newWindowRequestsStayInTheBrowser();
    void documentsWithoutEntriesAddNothing_data();
    void documentsWithoutEntriesAddNothing();
    void heavyPagesAreRead_data();
    void heavyPagesAreRead();
    void pageScriptsCannotStopTheWindow_data();
    void pageScriptsCannotStopTheWindow();

private:
    std::unique_ptr<Site> m_site;
    QString origin() const { return m_site->url(QStringLiteral("/")).chopped(1); }
};

void SearchWebEngineTest::initTestCase() {
    m_site = std::make_unique<Site>();
    QVERIFY(m_site->server.port() != 0);
}

void SearchWebEngineTest::addThisPageReadsEveryCompleteEntry_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QList<Row>>("expected");
    QTest::newRow("English") << QStringLiteral("/result-en-1.html") << kPage1Rows;
    QTest::newRow("Japanese, with a duplicate of another page")
        << QStringLiteral("/result-ja-2.html")
        << (kPage2Rows + QList<Row>{{QStringLiteral("Thermal Properties of Rice Straw Composites "
                                                    "(again)"),
                                     QStringLiteral("/article/a1/_pdf/-char/en")}});
}

void SearchWebEngineTest::addThisPageReadsEveryCompleteEntry() {
    QFETCH(QString, page);
    QFETCH(QList<Row>, expected);
    Window w(m_site->url(page));
    QVERIFY(w.browser().currentUrl().endsWith(page));

    w.window->command(9)->click();
    QCOMPARE(w.rows(origin()), expected);
    QCOMPARE(w.folderAsked, 1);
    for (const SearchListRow& r : w.list().rows()) {
        QCOMPARE(r.tag, m_site->url(page));
        QCOMPARE(r.type, QStringLiteral("pdf"));
        QCOMPARE(r.saveFolder, kFolder);
        QCOMPARE(r.marker, QStringLiteral("ss-en"));
    }
    QCOMPARE(w.window->label(1)->text(), QString::number(expected.size()));

    // The same page again adds nothing.
    w.window->command(9)->click();
    QCOMPARE(w.list().size(), expected.size());
    QVERIFY(w.tc.dialogs.messages.isEmpty());
}

void SearchWebEngineTest::addAllWalksEveryPageAndEnds() {
    Window w(m_site->url(QStringLiteral("/result-en-1.html")));
    m_site->server.clearRequests();
    QCOMPARE(w.window->combo(2)->currentText(), QStringLiteral("0"));

    // The run happens inside the click and ends by itself on the last page.
    w.window->command(4)->click();
    QCOMPARE(w.rows(origin()), kPage1Rows + kPage2Rows + kPage3Rows);
    QVERIFY(w.browser().currentUrl().endsWith(QStringLiteral("/result-3.html")));
    QCOMPARE(m_site->server.requestCount(QStringLiteral("/result-ja-2.html")), 1);
    QCOMPARE(m_site->server.requestCount(QStringLiteral("/result-3.html")), 1);
    QCOMPARE(w.window->command(4)->text(), QStringLiteral("加入全部到列表"));
    QVERIFY(w.window->picPanWeb()->isEnabled());
    QVERIFY(!w.window->addAllRunning());
    QCOMPARE(w.window->label(1)->text(), QStringLiteral("7"));
}

void SearchWebEngineTest::stopDuringWaitEndsRunAndCloseIsRefused() {
    Window w(m_site->url(QStringLiteral("/result-en-1.html")));
    m_site->page2DelayMs = 4000; // the second page is still on its way when stop is pressed
    bool runningSeen = false;
    bool closedWhileRunning = true;
    QTimer::singleShot(300, w.window, [&] {
        runningSeen = w.window->addAllRunning() && !w.window->picPanWeb()->isEnabled() &&
                      w.window->command(4)->text() == QStringLiteral("停止加入全部");
        w.window->close();
        closedWhileRunning = !w.window->isVisible();
    });
    QTimer::singleShot(600, w.window, [&] { w.window->command(4)->click(); });
    QElapsedTimer took;
    took.start();
    w.window->command(4)->click();
    m_site->page2DelayMs = 0;

    QVERIFY(runningSeen);
    QVERIFY(!closedWhileRunning);
    QCOMPARE(w.tc.dialogs.messageTexts(), QStringList{QStringLiteral("正在工作，停止以后才能关闭！")});
    QVERIFY2(took.elapsed() < 3000, "the stop ends the run without waiting for the page");
    // The page shown when the stop came was the first one.
    QCOMPARE(w.rows(origin()), kPage1Rows);
    QCOMPARE(w.window->command(4)->text(), QStringLiteral("加入全部到列表"));
    QVERIFY(w.window->picPanWeb()->isEnabled());

    // Idle again: now the window closes.
    w.window->close();
    QVERIFY(!w.window->isVisible());
}

void SearchWebEngineTest::newWindowRequestsStayInTheBrowser() {
    Window w(m_site->url(QStringLiteral("/new-window.html")));
    const int windowsBefore = int(QApplication::topLevelWidgets().size());
    const DomSnapshot doc = w.browser().document({});
    QVERIFY(doc.isHtml);

    for (const auto& [id, landing] :
         {std::pair{QStringLiteral("blank-link"), QStringLiteral("/result-3.html")},
          std::pair{QStringLiteral("open-button"), QStringLiteral("/result-ja-2.html")}}) {
        QVERIFY(w.open(m_site->url(QStringLiteral("/new-window.html"))));
        const DomSnapshot page = w.browser().document({});
        QSignalSpy loaded(&w.browser(), &Browser::documentComplete);
        QVERIFY(w.browser().click(page.getElementById(id)));
        QVERIFY2(loaded.wait(20000), qPrintable(id));
        QVERIFY2(w.browser().currentUrl().endsWith(landing), qPrintable(w.browser().currentUrl()));
        QCOMPARE(int(QApplication::topLevelWidgets().size()), windowsBefore);
        QVERIFY(w.window->查找Combo1(m_site->url(landing)));
    }
}

void SearchWebEngineTest::documentsWithoutEntriesAddNothing_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("completes");
    QTest::newRow("PDF") << m_site->url(QStringLiteral("/doc.pdf")) << true;
    QTest::newRow("image") << m_site->url(QStringLiteral("/picture.png")) << true;
    QTest::newRow("plain text") << m_site->url(QStringLiteral("/text.txt")) << true;
    QTest::newRow("about:blank") << QStringLiteral("about:blank") << true;
    QTest::newRow("404") << m_site->url(QStringLiteral("/missing.html")) << true;
    QTest::newRow("never finishes") << m_site->url(QStringLiteral("/never-ends.html")) << false;
}

void SearchWebEngineTest::documentsWithoutEntriesAddNothing() {
    QFETCH(QString, address);
    QFETCH(bool, completes);
    Window w(m_site->url(QStringLiteral("/new-window.html")));
    if (completes) {
        QVERIFY(w.open(address));
    } else {
        QSignalSpy started(&w.browser(), &Browser::loadStarted);
        w.browser().navigate(address);
        QVERIFY(started.wait(20000));
        QTest::qWait(500);
        QVERIFY(w.browser().busy());
    }
    w.window->command(9)->click();
    w.window->command(4)->click();
    QCOMPARE(w.list().size(), 0);
    QCOMPARE(w.window->label(1)->text(), QStringLiteral("0"));
    QVERIFY(w.tc.dialogs.messages.isEmpty());
    QVERIFY(!w.window->addAllRunning());
    m_site->server.closeAllConnections();
}

void SearchWebEngineTest::heavyPagesAreRead_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("titleLength");
    QTest::newRow("5,000 entries") << QStringLiteral("/many.html") << 5000 << 0;
    QTest::newRow("100,000-character title") << QStringLiteral("/long-title.html") << 1 << 100000;
    QTest::newRow("deeply nested") << QStringLiteral("/deep.html") << 1 << 0;
}

void SearchWebEngineTest::heavyPagesAreRead() {
    QFETCH(QString, page);
    QFETCH(int, rows);
    QFETCH(int, titleLength);
    Window w(m_site->url(page));
    w.window->command(9)->click();
    QCOMPARE(w.list().size(), rows);
    if (titleLength > 0) QCOMPARE(w.list().row(0).title.size(), titleLength);
    QCOMPARE(w.window->label(1)->text(), QString::number(rows));
}

void SearchWebEngineTest::pageScriptsCannotStopTheWindow_data() {
    QTest::addColumn<bool>("silent");
    QTest::newRow("script prompts shown") << false;
    QTest::newRow("script prompts suppressed") << true;
}

void SearchWebEngineTest::pageScriptsCannotStopTheWindow() {
    QFETCH(bool, silent);
    Window w(m_site->url(QStringLiteral("/new-window.html")));
    w.window->check2()->setChecked(silent);
    QVERIFY(w.open(m_site->url(QStringLiteral("/hostile-scripts.html"))));
    QTRY_VERIFY_WITH_TIMEOUT(silent || w.tc.dialogs.messages.size() == 2, 10000);
    QTest::qWait(200);

    if (silent) {
        QVERIFY(w.tc.dialogs.messages.isEmpty());
        QVERIFY(w.tc.dialogs.inputPrompts.isEmpty());
    } else {
        QCOMPARE(w.tc.dialogs.messageTexts(),
                 (QStringList{QStringLiteral("first alert"), QStringLiteral("leave?")}));
        QCOMPARE(w.tc.dialogs.inputPrompts, QStringList{QStringLiteral("name?")});
    }
    // window.close() was ignored: the page and the window are still there.
    QVERIFY(w.window);
    QVERIFY(w.browser().currentUrl().endsWith(QStringLiteral("/hostile-scripts.html")));
    w.window->command(9)->click();
    QCOMPARE(w.rows(origin()),
             (QList<Row>{{QStringLiteral("Survives Its Scripts"), QStringLiteral("/article/h1/_pdf")}}));
}

PELDORA_UI_TEST_MAIN(SearchWebEngineTest)
#include "tst_searchwebengine.moc"
