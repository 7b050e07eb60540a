#include "ResultPageMarkup.h"
#include "search/AddAllPages.h"
#include "search/SearchList.h"
#include "support/FakeBrowser.h"
#include "support/TestContext.h"

#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {
const QString kHost = QStringLiteral("https://www.jstage.jst.go.jp");

QString PageUrl(int n) {
    return kHost + QStringLiteral("/result?page=%1").arg(n);
}

// Pages 1..count, two articles each, joined by next-page links.
void BuildSite(FakeBrowser& browser, int count) {
    for (int n = 1; n <= count; ++n) {
        const QStringList entries{
            EntryMarkup({QStringLiteral("Article %1a").arg(n), QStringLiteral("/%1a.pdf").arg(n)}),
            EntryMarkup({QStringLiteral("Article %1b").arg(n), QStringLiteral("/%1b.pdf").arg(n)})};
        const QString next = n < count ? PageUrl(n + 1) : QString();
        browser.site.insert(PageUrl(n), SnapshotFromMarkup(PageMarkup(entries, next), PageUrl(n)));
    }
    browser.navigate(PageUrl(1));
}

// A run over a fake browser, with the window's parts recorded.
struct Run {
    TestContext tc;
    FakeBrowser browser;
    SearchList list;
    QString delay = QStringLiteral("0");
    QList<bool> shown;
    int autoSizes = 0;
    int folderDialogs = 0;
    AddAllPages pages{tc.ctx(), PageHarvest{browser, list, {}}};

    Run() {
        tc.ctx().state.promptSaveFolder = 0;
        pages.delayText = [this] { return delay; };
        QObject::connect(&pages, &AddAllPages::runningChanged,
                         [this](bool running) { shown << running; });
        QObject::connect(&pages, &AddAllPages::columnsToFit, [this] { ++autoSizes; });
        pages.askSaveFolder = [this] {
            ++folderDialogs;
            tc.ctx().state.saveFolder = QStringLiteral("/home/u/chosen/");
        };
        QObject::connect(&browser, &Browser::documentComplete, &browser,
                         [this] { pages.documentComplete(); });
    }
    double now() const { return tc.clock.now; }
};
} // namespace

class AddAllPagesTest : public QObject {
    Q_OBJECT
private slots:
    void threePagesEndByThemselves();
    void singlePage();
    void stopDuringFirstWait();
    void stopDuringLoadWait();
    void pageThatNeverFinishesIsReadAfterNinetySeconds();
    void rateDelay_data();
    void rateDelay();
    void promptedFolderGoesIntoEveryRow();
};

void AddAllPagesTest::threePagesEndByThemselves() {
    Run r;
    BuildSite(r.browser, 3);
    const double start = r.now();
    r.pages.command4Clicked();
    QCOMPARE(r.list.size(), 6);
    QCOMPARE(r.list.row(5).title, QStringLiteral("Article 3b"));
    QCOMPARE(r.list.row(2).tag, PageUrl(2));
    QCOMPARE(r.browser.clicks.size(), 2);
    QCOMPARE(r.shown, (QList<bool>{true, false}));
    QCOMPARE(r.autoSizes, 1);
    QVERIFY(r.pages.addAllStop());
    QVERIFY(!r.pages.running());
    // Each click waits at least one second.
    QVERIFY(r.now() - start >= 2.0);
    // Pages are read before and after every step: the last one several times.
    QVERIFY(r.browser.textRequests.size() >= 6);
}

void AddAllPagesTest::singlePage() {
    Run r;
    BuildSite(r.browser, 1);
    r.pages.command4Clicked();
    QCOMPARE(r.list.size(), 2);
    QVERIFY(r.browser.clicks.isEmpty());
    QCOMPARE(r.shown, (QList<bool>{true, false}));
    QVERIFY(r.pages.addAllStop());
}

// The second click inside the run: the page on screen then is read and the run ends.
void AddAllPagesTest::stopDuringFirstWait() {
    Run r;
    BuildSite(r.browser, 3);
    double clickedAt = -1;
    r.browser.onClick = [&](int link) {
        clickedAt = r.now();
        r.browser.navigate(r.browser.page.at(link).href);
    };
    r.tc.pump.onPump = [&] {
        if (clickedAt >= 0 && r.now() - clickedAt >= 0.5 && !r.pages.addAllStop())
            r.pages.command4Clicked();
    };
    r.pages.command4Clicked();
    QCOMPARE(r.browser.clicks.size(), 1);
    QCOMPARE(r.list.size(), 4);
    QVERIFY(r.now() - clickedAt < 1.0);
    QCOMPARE(r.autoSizes, 2); // after the stop request and after the run
    QVERIFY(!r.pages.running());
    QCOMPARE(r.shown, (QList<bool>{true, false}));
}

void AddAllPagesTest::stopDuringLoadWait() {
    Run r;
    BuildSite(r.browser, 3);
    double clickedAt = -1;
    r.browser.onClick = [&](int) {
        clickedAt = r.now();
        r.browser.isBusy = true; // still loading page 1's successor
    };
    r.tc.pump.onPump = [&] {
        if (clickedAt >= 0 && r.now() - clickedAt >= 5 && !r.pages.addAllStop())
            r.pages.command4Clicked();
    };
    r.pages.command4Clicked();
    QCOMPARE(r.browser.clicks.size(), 1);
    QCOMPARE(r.list.size(), 2);
    QVERIFY(r.now() - clickedAt < 6);
    QVERIFY(r.pages.addAllStop());
}

void AddAllPagesTest::pageThatNeverFinishesIsReadAfterNinetySeconds() {
    Run r;
    BuildSite(r.browser, 2);
    QList<double> clickTimes;
    r.browser.onClick = [&](int link) {
        clickTimes << r.now();
        if (clickTimes.size() == 1)
            r.browser.isBusy = true; // hangs, never completes
        else {
            r.browser.isBusy = false;
            r.browser.navigate(r.browser.page.at(link).href);
        }
    };
    r.pages.command4Clicked();
    QCOMPARE(clickTimes.size(), 2);
    QVERIFY(clickTimes[1] - clickTimes[0] >= 91);
    QVERIFY(clickTimes[1] - clickTimes[0] < 93);
    QCOMPARE(r.list.size(), 4);
}

// The delay is read anew on every pass: a change during the wait takes effect at once.
void AddAllPagesTest::rateDelay_data() {
    QTest::addColumn<QString>("delay");
    QTest::addColumn<double>("changeAfter"); // seconds; < 0 no change
    QTest::addColumn<QString>("changedTo");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<double>("minSeconds");
    QTest::addColumn<double>("maxSeconds");
    QTest::newRow("zero: one pass") << "0" << -1.0 << QString() << false << 0.0 << 0.15;
    QTest::newRow("three seconds") << "3" << -1.0 << QString() << false << 3.0 << 3.15;
    QTest::newRow("ten changed to zero") << "10" << 2.0 << "0" << false << 2.0 << 2.25;
    QTest::newRow("two raised to five") << "2" << 1.0 << "5" << false << 5.0 << 5.15;
    QTest::newRow("stop ends it") << "60" << 1.0 << QString() << true << 1.0 << 1.25;
    QTest::newRow("not a number") << "x" << -1.0 << QString() << false << 0.0 << 0.15;
}

void AddAllPagesTest::rateDelay() {
    QFETCH(QString, delay);
    QFETCH(double, changeAfter);
    QFETCH(QString, changedTo);
    QFETCH(bool, stop);
    QFETCH(double, minSeconds);
    QFETCH(double, maxSeconds);
    // One delay: between the two pages of a run. Its first and last reading of Combo2 mark it.
    Run r;
    BuildSite(r.browser, 2);
    r.delay = delay;
    double first = -1;
    double last = -1;
    r.pages.delayText = [&] {
        if (first < 0) first = r.now();
        last = r.now();
        return r.delay;
    };
    r.tc.pump.onPump = [&] {
        if (first < 0 || changeAfter < 0 || r.now() - first < changeAfter) return;
        if (!stop)
            r.delay = changedTo;
        else if (!r.pages.addAllStop())
            r.pages.command4Clicked();
    };
    r.pages.command4Clicked();
    QVERIFY(first >= 0);
    const double elapsed = last - first;
    QVERIFY2(elapsed >= minSeconds - 0.15 && elapsed <= maxSeconds,
             qPrintable(QString::number(elapsed)));
    QCOMPARE(r.list.size(), 4); // the page after the delay is read, stopped or not
}

// With the prompt setting on, the dialog is shown once and its folder goes into every row.
void AddAllPagesTest::promptedFolderGoesIntoEveryRow() {
    Run r;
    r.tc.ctx().state.promptSaveFolder = 1;
    BuildSite(r.browser, 2);
    r.pages.command4Clicked();
    QCOMPARE(r.folderDialogs, 1);
    QCOMPARE(r.list.size(), 4);
    for (const SearchListRow& row : r.list.rows())
        QCOMPARE(row.saveFolder, QStringLiteral("/home/u/chosen/"));
}

PELDORA_TEST_MAIN(AddAllPagesTest)
#include "tst_addallpages.moc"
