#include "download/DownloadList.h"
#include "download/DownloadScheduler.h"
#include "download/DownloadWindowState.h"
#include "download/TransferMethods.h"
#include "support/TestContext.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <map>

using namespace peldora;
using peldora::test::FakeClock;

namespace {

void Touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("old");
}

// Both methods as the scheduler sees them. The single transfer "takes" a few seconds of the
// fake clock and completes its row; a parallel download runs until the test ends it.
class FakeTransfers : public TransferMethods {
public:
    struct Start {
        int slot;
        RowId row;
        QString address;
        QString path;
    };

    FakeTransfers(DownloadList& list, DownloadWindowState& state, FakeClock& clock)
        : m_list(list), m_state(state), m_clock(clock) {}

    QList<RowId> singleStarts;
    QList<Start> parallelStarts;
    std::map<int, Start> running;
    bool executing = false;
    int cancels = 0;
    int unloads = 0;
    // Runs while the single transfer is at work, as events pumped during it would.
    std::function<void(RowId)> duringSingle;

    bool singleExecuting() const override { return executing; }
    void Inet下载当前文件(RowId id) override {
        singleStarts << id;
        m_state.downloadBusy = true;
        executing = true;
        if (duringSingle) duringSingle(id);
        m_clock.advance(3);
        executing = false;
        const int r = m_list.rowOfId(id);
        if (r >= 0 && m_list.status(r) == RowStatus::Downloading) {
            m_list.setStatus(r, RowStatus::Completed);
            m_list.setText(r, ColPercent, QStringLiteral("100%"));
        }
        m_state.lastFinishTime = m_clock.elapsedSeconds();
        m_state.downloadBusy = false;
    }
    void cancelSingle() override { ++cancels; }

    bool slotBusy(int slot) const override { return running.count(slot) > 0; }
    int instanceCount() const override { return int(running.size()); }
    void 多线程下载(int slot, RowId row, const QString& address, const QString& path) override {
        const Start s{slot, row, address, path};
        parallelStarts << s;
        running[slot] = s;
        m_state.downloadBusy = true;
    }
    void unloadAll() override {
        ++unloads;
        running.clear();
    }
    bool isPathReserved(const QString& path) const override {
        for (const auto& [slot, s] : running)
            if (s.path == path) return true;
        return false;
    }

    // The downloader on a slot ends its row now.
    void finish(int slot, RowStatus outcome = RowStatus::Completed) {
        const int r = m_list.rowOfId(running.at(slot).row);
        if (r >= 0) m_list.setStatus(r, outcome);
        running.erase(slot);
        m_state.lastFinishTime = m_clock.elapsedSeconds();
    }

private:
    DownloadList& m_list;
    DownloadWindowState& m_state;
    FakeClock& m_clock;
};

struct Fixture {
    peldora::test::TestContext tc;
    QTemporaryDir dir;
    DownloadList list;
    DownloadWindowState state;
    FakeTransfers transfers{list, state, tc.clock};
    DownloadScheduler scheduler{tc.ctx(), list, state, transfers};

    Fixture(DownloadMethod method = DownloadMethod::Parallel, int threads = 3) {
        tc.ctx().state.downloadMethod = method;
        state.threadCount = threads;
        state.lastFinishTime = tc.clock.elapsedSeconds();
        tc.clock.advance(1);
        scheduler.options.soundCues = true;
    }
    QString folder() const { return dir.path(); }
    // Rows "r0", "r1", ... with keys "http://h/rN.pdf|http://m/rN.pdf".
    void addRows(int n, const QString& name = {}) {
        const int first = list.count();
        for (int i = first; i < first + n; ++i) {
            const QString base = QStringLiteral("r%1").arg(i);
            list.AddRow(QStringLiteral("http://h/%1.pdf|http://m/%1.pdf").arg(base),
                        name.isNull() ? base : name, QStringLiteral("pdf"), folder(), {});
        }
    }
    QList<int> rowsIn(RowStatus status) const {
        QList<int> rows;
        for (int r = 0; r < list.count(); ++r)
            if (list.status(r) == status) rows << r;
        return rows;
    }
    QList<RowId> startedRows() const {
        QList<RowId> ids;
        for (const auto& s : transfers.parallelStarts) ids << s.row;
        return ids;
    }
};

} // namespace

class DownloadSchedulerTest : public QObject {
    Q_OBJECT
private slots:
    void emptyListSwitchesDownloadingOff() {
        Fixture f;
        QSignalSpy shown(&f.scheduler, &DownloadScheduler::downloadingChanged);
        f.scheduler.startDownloading();
        QVERIFY(f.state.schedulerTimer()->isActive());
        f.scheduler.schedulerTick();
        QVERIFY(!f.scheduler.downloading());
        QCOMPARE(f.tc.sound.played, QList<int>{}); // the scheduler's own stop plays nothing
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(1).at(0).toBool(), false);

        f.scheduler.startDownloading();
        f.scheduler.supervisorTick(); // a finished list: off, with the cue
        QVERIFY(!f.scheduler.downloading());
        QCOMPARE(f.tc.sound.played, QList<int>{102});
    }

    void singleMethodDownloadsOneRowInsideTheTick() {
        Fixture f(DownloadMethod::Single, 1);
        f.state.autoLocate = true;
        QSignalSpy located(&f.scheduler, &DownloadScheduler::locateRow);
        f.addRows(3);
        f.list.setText(0, ColSize, QStringLiteral("等待重新下载"));
        f.scheduler.startDownloading();
        const RowId first = f.list.idOfRow(0);
        f.transfers.duringSingle = [&](RowId id) {
            QCOMPARE(id, first);
            QCOMPARE(f.list.status(0), RowStatus::Downloading);
            QCOMPARE(f.list.text(0, ColSize), QString());
            QCOMPARE(f.state.slotTable[1], first);
            QCOMPARE(f.list.text(0, ColFolder), QDir(f.folder()).path() + u'/');
            // Ticks that arrive while the file downloads start nothing.
            f.tc.clock.advance(5);
            f.scheduler.schedulerTick();
            f.scheduler.supervisorTick();
            QVERIFY(f.scheduler.downloading());
        };
        f.scheduler.schedulerTick();
        QCOMPARE(f.transfers.singleStarts, QList<RowId>{first});
        QCOMPARE(f.list.status(0), RowStatus::Completed);
        QCOMPARE(located.size(), 1);
        QCOMPARE(located.at(0).at(0).toInt(), 0);

        // The pause of 0 still needs the clock to move past the end of the last file.
        f.transfers.duringSingle = {};
        f.scheduler.schedulerTick();
        QCOMPARE(f.transfers.singleStarts.size(), 1);
        f.tc.clock.advance(0.5);
        f.state.downloadBusy = true; // a single transfer still winding up
        f.scheduler.schedulerTick();
        QCOMPARE(f.transfers.singleStarts.size(), 1);
        f.state.downloadBusy = false;
        f.scheduler.schedulerTick();
        QCOMPARE(f.transfers.singleStarts, (QList<RowId>{first, f.list.idOfRow(1)}));
    }

    void rowsRemovedDuringASingleDownloadAreLeftAlone() {
        Fixture f(DownloadMethod::Single, 1);
        f.addRows(3);
        f.scheduler.startDownloading();
        QSignalSpy statistics(&f.scheduler, &DownloadScheduler::statisticsChanged);
        f.transfers.duringSingle = [&](RowId) { f.list.RemoveRowAt(0); };
        f.scheduler.schedulerTick();
        QCOMPARE(f.list.count(), 2);
        QCOMPARE(f.rowsIn(RowStatus::Waiting), (QList<int>{0, 1}));
        QCOMPARE(statistics.last().at(0).toString(),
                 QStringLiteral("总数:2 正在下载:0 等待:2 已完成:0 失败:0"));
    }

    void parallelFillsEveryFreeSlot() {
        Fixture f(DownloadMethod::Parallel, 3);
        f.state.autoLocate = true;
        QSignalSpy located(&f.scheduler, &DownloadScheduler::locateRow);
        f.addRows(5);
        f.list.setStatus(0, RowStatus::Completed); // not waiting: passed over
        f.scheduler.startDownloading();
        f.scheduler.schedulerTick();

        QCOMPARE(f.transfers.parallelStarts.size(), 3);
        const QString dir = QDir(f.folder()).path() + u'/';
        for (int i = 0; i < 3; ++i) {
            const auto& s = f.transfers.parallelStarts.at(i);
            const int row = i + 1;
            QCOMPARE(s.slot, i + 1);
            QCOMPARE(s.row, f.list.idOfRow(row));
            QCOMPARE(s.address, QStringLiteral("http://h/r%1.pdf").arg(row));
            QCOMPARE(s.path, dir + QStringLiteral("r%1.pdf").arg(row));
            QCOMPARE(f.state.slotTable[i + 1], f.list.idOfRow(row));
            QCOMPARE(f.list.status(row), RowStatus::Downloading);
            QCOMPARE(located.at(i).at(0).toInt(), row);
        }
        QCOMPARE(f.list.status(4), RowStatus::Waiting);

        // Every slot busy: nothing more; slot 2 ends and its place is filled after the pause.
        f.tc.clock.advance(5);
        f.scheduler.schedulerTick();
        QCOMPARE(f.transfers.parallelStarts.size(), 3);
        f.transfers.finish(2);
        f.scheduler.schedulerTick();
        QCOMPARE(f.transfers.parallelStarts.size(), 3);
        f.tc.clock.advance(0.5);
        f.scheduler.schedulerTick();
        QCOMPARE(f.transfers.parallelStarts.size(), 4);
        QCOMPARE(f.transfers.parallelStarts.last().slot, 2);
        QCOMPARE(f.transfers.parallelStarts.last().row, f.list.idOfRow(4));
    }

    void threadCountBoundsTheSlots_data() {
        QTest::addColumn<int>("threads");
        QTest::addColumn<int>("started");
        QTest::newRow("two") << 2 << 2;
        QTest::newRow("not a number") << 0 << 0;
        QTest::newRow("more than six") << 9 << 6;
    }
    void threadCountBoundsTheSlots() {
        QFETCH(int, threads);
        QFETCH(int, started);
        Fixture f(DownloadMethod::Parallel, threads);
        f.addRows(8);
        f.scheduler.startDownloading();
        f.scheduler.schedulerTick();
        QCOMPARE(f.transfers.parallelStarts.size(), started);
        QCOMPARE(f.rowsIn(RowStatus::Waiting).size(), 8 - started);
    }

    void pauseIsMeasuredOnTheSteadyClock_data() {
        QTest::addColumn<double>("timeOfDay");
        QTest::newRow("morning") << 36000.0;
        QTest::newRow("across midnight") << 86395.0; // the time of day wraps to 5 s
    }
    void pauseIsMeasuredOnTheSteadyClock() {
        QFETCH(double, timeOfDay);
        Fixture f(DownloadMethod::Parallel, 2);
        f.state.pauseSeconds = 10;
        f.addRows(4);
        f.tc.clock.advance(11);
        f.scheduler.startDownloading();
        f.scheduler.schedulerTick();
        QCOMPARE(f.transfers.parallelStarts.size(), 2);

        f.tc.clock.now = timeOfDay;
        f.transfers.finish(1);
        f.transfers.finish(2);
        for (int s = 0; s < 10; ++s) {
            f.tc.clock.advance(1);
            f.scheduler.schedulerTick();
            QCOMPARE(f.transfers.parallelStarts.size(), 2);
        }
        f.tc.clock.advance(0.5);
        f.scheduler.schedulerTick(); // both free slots in the same tick
        QCOMPARE(f.transfers.parallelStarts.size(), 4);
    }

    void existingFilesUnderSkipStartNothing_data() {
        QTest::addColumn<int>("method");
        QTest::newRow("method 1") << int(DownloadMethod::Single);
        QTest::newRow("method 2") << int(DownloadMethod::Parallel);
    }
    void existingFilesUnderSkipStartNothing() {
        QFETCH(int, method);
        Fixture f(DownloadMethod(method), 3);
        f.state.sameNamePolicy = SameNamePolicy::Skip;
        f.addRows(4);
        for (int r = 0; r < 4; ++r) Touch(f.list.RowFilePath(r));
        f.scheduler.startDownloading();
        f.scheduler.schedulerTick();
        QVERIFY(f.transfers.parallelStarts.isEmpty());
        QVERIFY(f.transfers.singleStarts.isEmpty());
        QCOMPARE(f.rowsIn(RowStatus::Completed).size(), 4);
        for (int r = 0; r < 4; ++r)
            QCOMPARE(f.list.text(r, ColPercent), QStringLiteral("已存在，跳过"));
        f.scheduler.supervisorTick();
        QVERIFY(!f.scheduler.downloading());
        QCOMPARE(f.tc.sound.played, QList<int>{102});
    }

    void sameNamesInOneTickAreNumberedApart_data() {
        QTest::addColumn<int>("policy");
        QTest::addColumn<bool>("filePresent");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("rename") << int(SameNamePolicy::Rename) << false
                                << QStringList{"paper", "paper[001]", "paper[002]"};
        QTest::newRow("rename, file present")
            << int(SameNamePolicy::Rename) << true
            << QStringList{"paper[001]", "paper[002]", "paper[003]"};
        QTest::newRow("skip") << int(SameNamePolicy::Skip) << false
                              << QStringList{"paper", "paper[001]", "paper[002]"};
        QTest::newRow("overwrite") << int(SameNamePolicy::Overwrite) << true
                                   << QStringList{"paper", "paper", "paper"};
    }
    void sameNamesInOneTickAreNumberedApart() {
        QFETCH(int, policy);
        QFETCH(bool, filePresent);
        QFETCH(QStringList, names);
        Fixture f(DownloadMethod::Parallel, 3);
        f.state.sameNamePolicy = SameNamePolicy(policy);
        f.addRows(3, QStringLiteral("paper"));
        if (filePresent) Touch(f.folder() + QStringLiteral("/paper.pdf"));
        f.scheduler.startDownloading();
        f.scheduler.schedulerTick();
        QCOMPARE(f.transfers.parallelStarts.size(), 3);
        const QString dir = QDir(f.folder()).path() + u'/';
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(f.list.text(i, ColName), names.at(i));
            QCOMPARE(f.transfers.parallelStarts.at(i).path, dir + names.at(i) + ".pdf");
        }
    }

    void pathHeldByARunningDownloaderIsTaken() {
        Fixture f(DownloadMethod::Parallel, 1);
        f.addRows(1, QStringLiteral("A [review] B"));
        f.addRows(1, QStringLiteral("A [review] B"));
        f.scheduler.startDownloading();
        f.scheduler.schedulerTick();
        f.state.threadCount = 2;
        f.tc.clock.advance(1);
        f.scheduler.schedulerTick(); // slot 1 still holds the first name, with no file on disk
        QCOMPARE(f.transfers.parallelStarts.size(), 2);
        QCOMPARE(f.list.text(0, ColName), QStringLiteral("A [review] B"));
        QCOMPARE(f.list.text(1, ColName), QStringLiteral("A 『review』 B"));
        QVERIFY(QDir(f.folder()).entryList(QDir::Files).isEmpty());
    }

    void rowsThatCannotBeDownloadedFail_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("subfolder"); // below the test folder; "-" for none at all
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("word");
        const int one = int(DownloadMethod::Single);
        const int two = int(DownloadMethod::Parallel);
        QTest::newRow("empty address") << two << "|http://h/b.pdf" << "" << "a" << "pdf"
                                       << kNoAddressText;
        QTest::newRow("blank address, method 1")
            << one << "  |http://h/b.pdf" << "" << "a" << "pdf" << kNoAddressText;
        QTest::newRow("no folder") << two << "http://h/a.pdf" << "-" << "a" << "pdf"
                                   << kFolderFailedText;
        QTest::newRow("folder is a file") << one << "http://h/a.pdf" << "file.txt/sub" << "a"
                                          << "pdf" << kFolderFailedText;
        QTest::newRow("folder piece without a name")
            << two << "http://h/a.pdf" << "sub/?" "?/deeper" << "a" << "pdf" << kFolderFailedText;
        QTest::newRow("no file name") << two << "http://h/a.pdf" << "" << "" << ""
                                      << kBadTargetText;
        QTest::newRow("name that leaves the folder")
            << two << "http://h/a.pdf" << "" << ".." << "" << kBadTargetText;
    }
    void rowsThatCannotBeDownloadedFail() {
        QFETCH(int, method);
        QFETCH(QString, key);
        QFETCH(QString, subfolder);
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QString, word);
        Fixture f(DownloadMethod(method), 1);
        Touch(f.folder() + QStringLiteral("/file.txt"));
        const QString folder = subfolder == QStringLiteral("-") ? QString()
                               : subfolder.isEmpty()           ? f.folder()
                                                               : f.folder() + u'/' + subfolder;
        f.list.AddRow(key, name, type, folder, {});
        f.addRows(1);
        f.scheduler.startDownloading();
        f.scheduler.schedulerTick();

        QCOMPARE(f.list.status(0), RowStatus::Failed);
        QCOMPARE(f.list.text(0, ColPercent), word);
        const bool one = DownloadMethod(method) == DownloadMethod::Single;
        QCOMPARE(f.list.status(1), one ? RowStatus::Completed : RowStatus::Downloading);
        const RowId good = f.list.idOfRow(1);
        QCOMPARE(one ? f.transfers.singleStarts : f.startedRows(), QList<RowId>{good});
    }

    void autoStart_data() {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("sizeCell");
        QTest::addColumn<bool>("on");
        QTest::newRow("row not yet tried") << true << "" << true;
        QTest::newRow("row with a status word") << true << "下载失败" << false;
        QTest::newRow("not checked") << false << "" << false;
    }
    void autoStart() {
        QFETCH(bool, checked);
        QFETCH(QString, sizeCell);
        QFETCH(bool, on);
        Fixture f;
        f.scheduler.options.autoStart = checked;
        f.addRows(2);
        f.list.setStatus(0, RowStatus::Completed);
        f.list.setText(0, ColPercent, QStringLiteral("100%"));
        f.list.setStatus(1, RowStatus::Failed); // columns 2 to 4 count, not the status
        f.list.setText(1, ColSize, sizeCell);
        QSignalSpy shown(&f.scheduler, &DownloadScheduler::downloadingChanged);
        f.scheduler.supervisorTick();
        QCOMPARE(f.scheduler.downloading(), on);
        QCOMPARE(shown.size(), on ? 1 : 0);
    }

    void autoRedownload_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QList<int>>("reset");
        // Rows: 0 failed pdf, 1 completed htm, 2 completed xml, 3 completed pdf, 4 downloading
        QTest::newRow("failed rows") << 0 << QList<int>{0};
        QTest::newRow("web-page rows") << 1 << QList<int>{1, 2};
        QTest::newRow("both") << 2 << QList<int>{0, 1, 2};
    }
    void autoRedownload() {
        QFETCH(int, choice);
        QFETCH(QList<int>, reset);
        Fixture f;
        f.scheduler.options.autoRedownload = true;
        f.scheduler.options.redownloadChoice = choice;
        f.addRows(5);
        const RowStatus statuses[] = {RowStatus::Failed, RowStatus::Completed, RowStatus::Completed,
                                      RowStatus::Completed, RowStatus::Downloading};
        const char* types[] = {"pdf", "htm", "xml", "pdf", "pdf"};
        for (int r = 0; r < 5; ++r) {
            f.list.setStatus(r, statuses[r]);
            f.list.setText(r, ColType, QString::fromLatin1(types[r]));
            f.list.setText(r, ColPercent, QStringLiteral("100%"));
        }
        f.scheduler.supervisorTick();
        QVERIFY(f.scheduler.downloading());
        QCOMPARE(f.rowsIn(RowStatus::Waiting), reset);

        // Downloading on: nothing is reset again.
        f.list.setStatus(3, RowStatus::Failed);
        f.scheduler.supervisorTick();
        QCOMPARE(f.list.status(3), RowStatus::Failed);
    }

    void autoRedownloadOnAFinishedListSwitchesOffAndOnInOneTick() {
        Fixture f;
        f.scheduler.options.autoRedownload = true;
        f.addRows(1);
        f.list.setStatus(0, RowStatus::Failed);
        f.scheduler.startDownloading();
        QSignalSpy shown(&f.scheduler, &DownloadScheduler::downloadingChanged);
        f.scheduler.supervisorTick();
        QVERIFY(f.scheduler.downloading());
        QCOMPARE(f.list.status(0), RowStatus::Waiting);
        QCOMPARE(f.tc.sound.played, QList<int>{102});
        QCOMPARE(shown.size(), 2); // off, then on again
    }

    void errorStop_data() {
        QTest::addColumn<int>("failed");
        QTest::addColumn<bool>("htmRow");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<bool>("stops");
        QTest::newRow("four failed and a completed htm") << 4 << true << true << true;
        QTest::newRow("without sound") << 4 << true << false << true;
        QTest::newRow("four failed") << 4 << false << true << false;
        QTest::newRow("five failed") << 5 << false << true << true;
    }
    void errorStop() {
        QFETCH(int, failed);
        QFETCH(bool, htmRow);
        QFETCH(bool, sound);
        QFETCH(bool, stops);
        Fixture f;
        f.scheduler.options.errorStop = true;
        f.scheduler.options.soundCues = sound;
        f.addRows(failed + 2);
        for (int r = 0; r < failed; ++r) f.list.setStatus(r, RowStatus::Failed);
        f.list.setStatus(failed, RowStatus::Completed);
        if (htmRow) f.list.setText(failed, ColType, QStringLiteral("HTM"));
        f.list.setStatus(failed + 1, RowStatus::Downloading);
        f.scheduler.startDownloading();
        f.scheduler.supervisorTick();
        QCOMPARE(f.scheduler.downloading(), !stops);
        QCOMPARE(f.tc.sound.played, stops && sound ? QList<int>{102} : QList<int>{});
    }

    void supervisorKeepsTheRunFlag() {
        Fixture f(DownloadMethod::Parallel, 2);
        f.addRows(3);
        f.scheduler.startDownloading();
        f.scheduler.schedulerTick();
        f.state.downloadBusy = false;
        f.scheduler.supervisorTick();
        QVERIFY(f.state.downloadBusy); // a slot is busy
        f.state.schedulerTimer()->stop();
        f.scheduler.supervisorTick();
        QVERIFY(!f.state.downloadBusy);

        f.tc.ctx().state.downloadMethod = DownloadMethod::Single;
        f.state.downloadBusy = true;
        f.transfers.executing = true;
        f.scheduler.supervisorTick();
        QVERIFY(f.state.downloadBusy);
        f.transfers.executing = false;
        f.scheduler.startDownloading();
        f.scheduler.supervisorTick();
        QVERIFY(f.state.downloadBusy);
        f.state.schedulerTimer()->stop();
        f.scheduler.supervisorTick();
        QVERIFY(!f.state.downloadBusy);
    }

    void startEntryFollowsDownloading() {
        Fixture f;
        QSignalSpy entry(&f.scheduler, &DownloadScheduler::startEntryEnabledChanged);
        f.scheduler.supervisorTick(); // empty list: on
        QCOMPARE(entry.size(), 1);
        QCOMPARE(entry.at(0).at(0).toBool(), true);
        f.addRows(1);
        f.scheduler.startDownloading();
        f.scheduler.supervisorTick();
        QCOMPARE(entry.size(), 2);
        QCOMPARE(entry.at(1).at(0).toBool(), false);
        QVERIFY(!f.scheduler.startEntryEnabled());
        f.scheduler.supervisorTick(); // unchanged: no signal
        QCOMPARE(entry.size(), 2);
    }

    void methodSwitchLeavesRunningTransfersAlone() {
        Fixture f(DownloadMethod::Parallel, 2);
        f.addRows(3);
        f.scheduler.startDownloading();
        f.scheduler.schedulerTick();
        QCOMPARE(f.transfers.running.size(), size_t(2));

        QSignalSpy switched(&f.scheduler, &DownloadScheduler::downloadMethodChanged);
        f.scheduler.switchDownloadMethod();
        QCOMPARE(f.tc.ctx().state.downloadMethod, DownloadMethod::Single);
        QCOMPARE(f.state.threadCount, 1);
        QCOMPARE(switched.at(0).at(0).toInt(), 1);
        f.scheduler.supervisorTick();

        f.tc.clock.advance(1);
        f.scheduler.schedulerTick();
        QCOMPARE(f.transfers.running.size(), size_t(2));
        QCOMPARE(f.transfers.singleStarts, QList<RowId>{f.list.idOfRow(2)});
        QCOMPARE(f.list.status(2), RowStatus::Completed);

        f.scheduler.switchDownloadMethod();
        QCOMPARE(f.tc.ctx().state.downloadMethod, DownloadMethod::Parallel);
        QCOMPARE(switched.at(1).at(0).toInt(), 2);
    }

    void stopEndsEveryTransfer() {
        Fixture f(DownloadMethod::Parallel, 2);
        f.scheduler.options.autoStart = true;
        f.scheduler.options.autoRedownload = true;
        f.addRows(4);
        f.list.setStatus(3, RowStatus::Completed);
        f.scheduler.startDownloading();
        f.scheduler.schedulerTick();
        QSignalSpy cleared(&f.scheduler, &DownloadScheduler::autoOptionsCleared);
        QVERIFY(f.state.stopCommand);
        f.state.stopCommand(); // as the window's close runs it
        QCOMPARE(cleared.size(), 1);
        QVERIFY(!f.scheduler.options.autoStart && !f.scheduler.options.autoRedownload);
        QVERIFY(!f.scheduler.downloading());
        QVERIFY(!f.state.downloadBusy);
        QCOMPARE(f.transfers.cancels, 2);
        QCOMPARE(f.transfers.unloads, 1);
        QCOMPARE(f.rowsIn(RowStatus::Failed), (QList<int>{0, 1}));
        QCOMPARE(f.rowsIn(RowStatus::Waiting), QList<int>{2});
        QCOMPARE(f.rowsIn(RowStatus::Completed), QList<int>{3});
        QVERIFY(!f.state.BusyGuardHolds());
    }

    void stopDuringASingleDownload() {
        Fixture f(DownloadMethod::Single, 1);
        f.addRows(2);
        f.scheduler.startDownloading();
        f.transfers.duringSingle = [&](RowId) { f.scheduler.stopDownloading(); };
        f.scheduler.schedulerTick();
        QCOMPARE(f.list.status(0), RowStatus::Failed);
        QCOMPARE(f.list.status(1), RowStatus::Waiting);
        QVERIFY(!f.scheduler.downloading());
        f.transfers.duringSingle = {};
        f.tc.clock.advance(5);
        f.scheduler.startDownloading(); // downloading again after the stop
        f.scheduler.schedulerTick();
        QCOMPARE(f.list.status(1), RowStatus::Completed);
    }
};

PELDORA_TEST_MAIN(DownloadSchedulerTest)
#include "tst_downloadscheduler.moc"
