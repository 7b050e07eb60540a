#include "common/PathSeparator.h"
#include "handover/Handover.h"
#include "search/SearchList.h"
#include "support/TestContext.h"

#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

// A search list of five harvested articles, a scripted selection and a recording download list.
struct Fixture {
    TestContext t;
    SearchList list;
    QList<HandedOverRow> added;
    QSet<QString> downloadKeys;
    QList<bool> shown; // restore flags of 显示下载窗口
    QSet<int> selected;
    QStringList panel;
    int dialogs = 0;
    bool cancelDialog = false;
    bool timerOn = false;
    std::unique_ptr<Handover> handover;

    Fixture() {
        t.ctx().state.saveFolder = QStringLiteral("/dl/");
        for (int i = 1; i <= 5; ++i)
            list.加入LV1(QStringLiteral("Title %1").arg(i), QStringLiteral("https://h/a/%1/paper%1.pdf").arg(i),
                         QStringLiteral("https://h/result?p=%1").arg(i), "pdf",
                         i == 2 ? QString() : QStringLiteral("/harvest/"), "ss-en");
        HandoverHooks hooks;
        hooks.askSaveFolder = [this] {
            ++dialogs;
            t.ctx().state.saveDialogCancelled = cancelDialog;
        };
        hooks.isSelected = [this](int row) { return selected.contains(row); };
        hooks.autoRunEnabled = [this] { return timerOn; };
        DownloadListSink sink;
        sink.addRow = [this](const HandedOverRow& row) {
            if (downloadKeys.contains(row.key)) return false;
            downloadKeys.insert(row.key);
            added << row;
            return true;
        };
        sink.showWindow = [this](bool restore) { shown << restore; };
        handover = std::make_unique<Handover>(t.ctx(), list, hooks, sink);
        QObject::connect(handover.get(), &Handover::progressChanged,
                         [this](bool visible, const QString& text) {
                             panel << (visible ? QStringLiteral("show:") + text
                                               : QStringLiteral("hide"));
                         });
    }
    QStringList statuses() const {
        QStringList s;
        for (const auto& r : list.rows()) s << r.status;
        return s;
    }
    QStringList addedNames() const {
        QStringList s;
        for (const auto& r : added) s << r.name;
        return s;
    }
};

} // namespace

class HandoverTest : public QObject {
    Q_OBJECT
private slots:
    void selections() {
        Fixture f;
        f.selected = {2};
        f.handover->AnalyseSearchRows(HandoverSelection::Selected);
        QCOMPARE(f.addedNames(), QStringList{"Title 3"});
        QCOMPARE(f.statuses(), (QStringList{"", "", kAnalysed, "", ""}));

        f.list.setStatus(0, kAnalysisFailed);
        f.handover->AnalyseSearchRows(HandoverSelection::Failed);
        QCOMPARE(f.addedNames(), (QStringList{"Title 3", "Title 1"}));

        f.handover->AnalyseSearchRows(HandoverSelection::Unanalysed);
        QCOMPARE(f.addedNames(), (QStringList{"Title 3", "Title 1", "Title 2", "Title 4", "Title 5"}));

        // All rows again: every one is offered, the download list refuses the keys it has, and
        // each search row still ends as handed over.
        f.added.clear();
        f.handover->AnalyseSearchRows(HandoverSelection::All);
        QVERIFY(f.added.isEmpty());
        QCOMPARE(f.statuses(), QStringList(5, kAnalysed));
        QCOMPARE(f.shown, QList<bool>(4, false));
        QCOMPARE(f.panel.first(), QStringLiteral("show:正在分析,请稍候..."));
        QCOMPARE(f.panel.last(), QStringLiteral("hide"));
        QVERIFY(f.handover->analysisStop());
    }

    void takes_data() {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("taken");
        QTest::newRow("unanalysed takes empty") << int(HandoverSelection::Unanalysed) << "" << false << true;
        QTest::newRow("unanalysed skips done") << int(HandoverSelection::Unanalysed) << kAnalysed << true << false;
        QTest::newRow("failed anywhere in text") << int(HandoverSelection::Failed) << "下载失败了" << false << true;
        QTest::newRow("failed skips done") << int(HandoverSelection::Failed) << kAnalysed << false << false;
        QTest::newRow("selected takes done") << int(HandoverSelection::Selected) << kAnalysed << true << true;
        QTest::newRow("all takes done") << int(HandoverSelection::All) << kAnalysed << false << true;
    }
    void takes() {
        QFETCH(int, selection);
        QFETCH(QString, status);
        QFETCH(bool, selected);
        QFETCH(bool, taken);
        QCOMPARE(Handover::Takes(HandoverSelection(selection), status, selected), taken);
    }

    void rowContents() {
        Fixture f;
        f.list.加入LV1("  Deep\r\nLearning: a/b  ", "https://h/x/y/orig.name.pdf", "https://h/r", "pdf", "", "ss-en");
        f.handover->加入下载列表(5);
        const HandedOverRow title = f.added.last();
        QCOMPARE(title.name, QStringLiteral("DeepLearning ab"));
        QCOMPARE(title.folder, QStringLiteral("/dl/")); // empty harvest folder: the current one
        QCOMPARE(title.type, QStringLiteral("pdf"));
        QCOMPARE(title.tag, QStringLiteral("https://h/r"));
        QCOMPARE(title.key, QStringLiteral("https://h/x/y/orig.name.pdf"));

        f.t.ctx().state.useOriginalName = true;
        f.handover->加入下载列表(0);
        QCOMPARE(f.added.last().name, QStringLiteral("paper1"));
        QCOMPARE(f.added.last().folder, QStringLiteral("/harvest/"));
    }

    void stopLeavesTheRestUntouched() {
        Fixture f;
        f.t.pump.onPump = [&] {
            if (f.added.size() == 2) f.handover->requestStop();
        };
        f.handover->AnalyseSearchRows(HandoverSelection::All);
        QCOMPARE(f.added.size(), 2);
        QCOMPARE(f.statuses(), (QStringList{kAnalysed, kAnalysed, "", "", ""}));
        QCOMPARE(f.shown.size(), 1);
    }

    void folderDialogRules() {
        Fixture f;
        f.t.ctx().state.promptSaveFolder = 1;
        f.handover->AnalyseSearchRows(HandoverSelection::All);
        QCOMPARE(f.dialogs, 0);

        Fixture g;
        g.t.ctx().state.promptSaveFolder = 0;
        g.cancelDialog = true;
        g.handover->AnalyseSearchRows(HandoverSelection::All);
        QCOMPARE(g.dialogs, 1);
        QVERIFY(g.added.isEmpty());
        QCOMPARE(g.shown.size(), 1); // the run still ends by showing the download window
        QCOMPARE(g.panel.last(), QStringLiteral("hide"));

        // The automatic run never asks; neither does a manual "unanalysed" while it is on.
        g.timerOn = true;
        g.handover->AnalyseSearchRows(HandoverSelection::Unanalysed);
        QCOMPARE(g.dialogs, 1);
        QCOMPARE(g.added.size(), 5);
    }

    void emptyListShowsAndHidesThePanel() {
        TestContext t;
        SearchList list;
        QStringList panel;
        int dialogs = 0;
        Handover h(t.ctx(), list, {[&] { ++dialogs; }, {}, {}}, {});
        QObject::connect(&h, &Handover::progressChanged,
                         [&](bool v, const QString&) { panel << (v ? "show" : "hide"); });
        t.ctx().state.promptSaveFolder = 0;
        h.AnalyseSearchRows(HandoverSelection::All);
        QCOMPARE(panel, (QStringList{"show", "hide"}));
        QCOMPARE(dialogs, 0);
    }

    void autoRunCheckBox() {
        Fixture f;
        f.t.ctx().state.promptSaveFolder = 0;
        f.cancelDialog = true;
        QVERIFY(!f.handover->autoRunToggled(true));
        f.cancelDialog = false;
        QVERIFY(f.handover->autoRunToggled(true));
        QVERIFY(!f.handover->autoRunToggled(false));
        QCOMPARE(f.dialogs, 2);
        f.t.ctx().state.promptSaveFolder = 1;
        QVERIFY(f.handover->autoRunToggled(true));
        QCOMPARE(f.dialogs, 2);
    }
};

PELDORA_TEST_MAIN(HandoverTest)
#include "tst_handover.moc"
