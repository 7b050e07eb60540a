#include "download/DownloadListCommands.h"
#include "download/DownloadList.h"
#include "download/DownloadWindowState.h"
#include "support/TestContext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Rows "n0".."n<count-1>" with keys "http://h/<i>", tags, statuses in turn and every column set.
void Fill(DownloadList& list, int count, const QString& folder = QStringLiteral("/tmp/")) {
    const RowStatus statuses[4] = {RowStatus::Waiting, RowStatus::Completed, RowStatus::Failed,
                                   RowStatus::Downloading};
    for (int i = 0; i < count; ++i) {
        list.AddRow(QStringLiteral("http://h/%1").arg(i), QStringLiteral("n%1").arg(i),
                    QStringLiteral("pdf"), folder, QStringLiteral("http://ref/%1").arg(i));
        list.setStatus(i, statuses[i % 4]);
        list.setText(i, ColSize, QString::number(1000 + i));
        list.setText(i, ColReceived, QString::number(i));
        list.setText(i, ColPercent, QStringLiteral("%1%").arg(i % 100));
    }
}

// Everything a row holds, its identity too, as one comparable text.
QString Snapshot(const DownloadList& list, int r) {
    const DownloadListRow& row = list.row(r);
    QStringList parts{QString::number(row.id), row.key, row.tag, QString::number(int(row.status))};
    for (const QString& cell : row.cells) parts << cell;
    return parts.join(u'\x1f');
}

QStringList Names(const DownloadList& list) {
    QStringList names;
    for (int r = 0; r < list.count(); ++r) names << list.text(r, ColName);
    return names;
}

} // namespace

class DownloadListCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void shuffleKeepsEveryRowWhole() {
        TestContext t;
        DownloadList list;
        DownloadWindowState state;
        Fill(list, 50);
        QSet<QString> before;
        for (int r = 0; r < list.count(); ++r) before << Snapshot(list, r);
        QVERIFY(随机排序列表(list, state, t.dialogs));
        QSet<QString> after;
        for (int r = 0; r < list.count(); ++r) after << Snapshot(list, r);
        QCOMPARE(after, before);
        QCOMPARE(list.count(), 50);
        // The key index follows the rows.
        for (int r = 0; r < list.count(); ++r) QCOMPARE(list.RowOfKey(list.key(r)), r);
        QCOMPARE(t.dialogs.messages.size(), 1);
        QCOMPARE(t.dialogs.messages[0].text, QStringLiteral("随机排序完成！"));
        QCOMPARE(t.dialogs.messages[0].icon, MessageIcon::Information);
    }

    void shuffleOrder() {
        // Drawing always the last row left reverses the list; the first rows move first.
        QCOMPARE(ShuffleOrder(4, [](int n) { return n - 1; }), (std::vector<int>{3, 2, 1, 0}));
        QCOMPARE(ShuffleOrder(4, [](int) { return 0; }), (std::vector<int>{0, 3, 2, 1}));
        QVERIFY(ShuffleOrder(0).empty());
        // Past 10,000 rounds the rows never drawn stay at the start, in their order.
        const std::vector<int> order = ShuffleOrder(10003, [](int n) { return n - 1; });
        QCOMPARE(int(order.size()), 10003);
        QCOMPARE(order[0], 0);
        QCOMPARE(order[1], 1);
        QCOMPARE(order[2], 2);
        QCOMPARE(order[3], 10002);
    }

    void shuffleEmptyAndRefused() {
        TestContext t;
        DownloadList list;
        DownloadWindowState state;
        QVERIFY(随机排序列表(list, state, t.dialogs));
        QCOMPARE(t.dialogs.messageTexts(), QStringList{QStringLiteral("随机排序完成！")});

        Fill(list, 5);
        const QStringList names = Names(list);
        state.schedulerTimer()->start();
        t.dialogs.messages.clear();
        QVERIFY(!随机排序列表(list, state, t.dialogs, [](int) { return 0; }));
        QCOMPARE(Names(list), names);
        QCOMPARE(t.dialogs.messages.size(), 1);
        QCOMPARE(t.dialogs.messages[0].text, QStringLiteral("停止下载以后，才能执行此操作！"));
        QCOMPARE(t.dialogs.messages[0].icon, MessageIcon::Information);
    }

    void removals_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("left");
        // Rows n0..n7: waiting, completed, failed, downloading, in turn; n1, n2 and n5 selected.
        QTest::newRow("selected") << 0 << QStringList{"n0", "n3", "n4", "n6", "n7"};
        QTest::newRow("failed") << 1 << QStringList{"n0", "n1", "n3", "n4", "n5", "n7"};
        QTest::newRow("completed") << 2 << QStringList{"n0", "n2", "n3", "n4", "n6", "n7"};
    }
    void removals() {
        QFETCH(int, command);
        QFETCH(QStringList, left);
        TestContext t;
        DownloadList list;
        DownloadWindowState state;
        Fill(list, 8);
        // Neighbouring matches are all removed: n1 and n2 are selected side by side.
        const QList<int> selected{5, 1, 2, 2};
        const auto run = [&] {
            switch (command) {
            case 0:
                return 清除选中项(list, state, t.dialogs, selected);
            case 1:
                return 清除全部出错项(list, state, t.dialogs);
            default:
                return 清除完成项(list, state, t.dialogs);
            }
        };
        QCOMPARE(run(), 8 - int(left.size()));
        QCOMPARE(Names(list), left);
        QCOMPARE(list.RowCountText(), QString::number(left.size()) + u'条');
        QVERIFY(t.dialogs.messages.isEmpty());

        // Refused while downloading: nothing changes.
        state.schedulerTimer()->start();
        QCOMPARE(run(), -1);
        QCOMPARE(Names(list), left);
        QCOMPARE(t.dialogs.messageTexts(), QStringList{kBusyGuardMessage});
    }

    void clearAllAsksFirst() {
        TestContext t;
        DownloadList list;
        DownloadWindowState state;
        Fill(list, 3);
        t.dialogs.messageAnswers = {MessageAnswer::No, MessageAnswer::Yes};
        QCOMPARE(清空(list, state, t.dialogs), 0);
        QCOMPARE(list.count(), 3);
        QCOMPARE(t.dialogs.messages[0].text, QStringLiteral("您确定要清空列表的所有信息吗？"));
        QCOMPARE(t.dialogs.messages[0].buttons, MessageButtons::YesNo);
        QCOMPARE(t.dialogs.messages[0].icon, MessageIcon::Question);
        QCOMPARE(清空(list, state, t.dialogs), 3);
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.RowCountText(), QStringLiteral("0条"));
    }

    void deleteFiles() {
        QTemporaryDir dir;
        QTemporaryDir outside;
        const QString folder = dir.path() + u'/';
        DownloadList list;
        const auto add = [&](const QString& name, const QString& type, RowStatus status) {
            list.AddRow(QStringLiteral("http://h/") + name + type, name, type, folder, QString());
            const int r = list.count() - 1;
            list.setStatus(r, status);
            for (int c : {ColSize, ColReceived, ColPercent}) list.setText(r, c, QStringLiteral("9"));
            return r;
        };
        const int failed = add("f", "pdf", RowStatus::Failed);
        const int page = add("p", "HTML", RowStatus::Completed);
        const int waitingPage = add("w", "htm", RowStatus::Waiting);
        const int done = add("d", "pdf", RowStatus::Completed);
        const int linked = add("link", "pdf", RowStatus::Failed);
        const int noType = add("bare", "", RowStatus::Failed);
        for (const char* file : {"f.pdf", "p.HTML", "w.htm", "d.pdf", "bare"}) Write(folder + file, "x");
        Write(outside.path() + "/precious.pdf", "keep");
        QVERIFY(QFile::link(outside.path() + "/precious.pdf", folder + "link.pdf"));

        QCOMPARE(删除出错项(list), 3);
        QVERIFY(!QFile::exists(folder + "f.pdf"));
        QVERIFY(!QFile::exists(folder + "bare"));
        // The link goes; what it pointed at stays.
        QVERIFY(!QFileInfo(folder + "link.pdf").isSymLink());
        QCOMPARE(Read(outside.path() + "/precious.pdf"), QByteArray("keep"));
        QCOMPARE(list.status(failed), RowStatus::Failed);
        QVERIFY(list.text(linked, ColSize).isEmpty() && list.text(noType, ColPercent).isEmpty());
        QCOMPARE(list.text(page, ColSize), QStringLiteral("9"));

        QCOMPARE(删除网页类型文件项(list), 1);
        QVERIFY(!QFile::exists(folder + "p.HTML"));
        QVERIFY(QFile::exists(folder + "w.htm"));
        QVERIFY(QFile::exists(folder + "d.pdf"));
        QVERIFY(list.text(page, ColReceived).isEmpty());
        QCOMPARE(list.text(waitingPage, ColSize), QStringLiteral("9"));
        QCOMPARE(list.text(done, ColSize), QStringLiteral("9"));
        QCOMPARE(list.count(), 6);
    }

    void deletionNeverLeavesTheFolder() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QStringLiteral("/rows/");
        QVERIFY(QDir().mkpath(folder));
        Write(dir.path() + "/victim.pdf", "keep");
        QVERIFY(QDir().mkpath(folder + "sub"));
        DownloadList list;
        // Names that would reach the parent folder or a folder itself.
        list.AddRow("http://h/1", "../victim", "pdf", folder, QString());
        list.AddRow("http://h/2", "..", "", folder, QString());
        list.AddRow("http://h/3", "sub", "", folder, QString());
        for (int r = 0; r < 3; ++r) list.setStatus(r, RowStatus::Failed);
        删除出错项(list);
        QCOMPARE(Read(dir.path() + "/victim.pdf"), QByteArray("keep"));
        QVERIFY(QFileInfo(folder + "sub").isDir());
    }

    void cancelSelectedWaiting() {
        TestContext t;
        DownloadList list;
        DownloadWindowState state;
        Fill(list, 8); // n0 and n4 wait
        state.downloadBusy = true;
        QCOMPARE(取消下载选中项(list, state, t.dialogs, {0, 1, 4}), -1);
        QCOMPARE(list.status(0), RowStatus::Waiting);
        QCOMPARE(t.dialogs.messages.size(), 1);
        QCOMPARE(t.dialogs.messages[0].text, QStringLiteral("停止下载后方可设置！"));
        QCOMPARE(t.dialogs.messages[0].icon, MessageIcon::Critical);

        state.downloadBusy = false;
        QCOMPARE(取消下载选中项(list, state, t.dialogs, {0, 1, 3}), 1);
        QCOMPARE(list.status(0), RowStatus::Failed);
        QCOMPARE(list.status(1), RowStatus::Completed);
        QCOMPARE(list.status(3), RowStatus::Downloading);
        QCOMPARE(list.status(4), RowStatus::Waiting); // not selected
    }

    void openCommands() {
        TestContext t;
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        DownloadList list;
        list.AddRow("http://h/a", "exact", "txt", folder, QString());
        list.AddRow("http://h/b", "big", "txt", folder, QString());
        list.AddRow("http://h/c", "gone", "pdf", folder, QString());
        list.AddRow("http://h/d", "x", "pdf", folder + "nofolder/", QString());
        Write(folder + "exact.txt", QByteArray(2097152, 'a'));
        Write(folder + "big.txt", QByteArray(2097153, 'a'));

        用记事本打开文件(list, 0, t.shell, t.dialogs);
        用记事本打开文件(list, 1, t.shell, t.dialogs);
        用记事本打开文件(list, 2, t.shell, t.dialogs);
        用记事本打开文件(list, -1, t.shell, t.dialogs);
        QCOMPARE(t.shell.opened, QStringList{"editor:" + folder + "exact.txt"});
        QCOMPARE(t.dialogs.messageTexts(),
                 (QStringList{"该文件太大，超过了2M，不便于用记事本打开！", "该文件不存在！"}));
        for (const ShownMessage& m : t.dialogs.messages) QCOMPARE(m.icon, MessageIcon::Critical);

        t.shell.opened.clear();
        t.dialogs.messages.clear();
        打开下载文件(list, 0, t.shell, t.dialogs);
        打开下载文件(list, 2, t.shell, t.dialogs);
        QCOMPARE(t.shell.opened, QStringList{"file:" + folder + "exact.txt"});
        QCOMPARE(t.dialogs.messageTexts(), QStringList{"该文件不存在！"});

        t.shell.opened.clear();
        t.dialogs.messages.clear();
        打开文件所在文件夹(list, 0, t.shell, t.dialogs); // the file selected
        打开文件所在文件夹(list, 2, t.shell, t.dialogs); // no file: the folder
        打开文件所在文件夹(list, 3, t.shell, t.dialogs); // no folder
        t.shell.answer = false;
        打开文件所在文件夹(list, 0, t.shell, t.dialogs);
        QCOMPARE(t.shell.opened, (QStringList{"select:" + folder + "exact.txt", "folder:" + folder,
                                              "select:" + folder + "exact.txt"}));
        QCOMPARE(t.dialogs.messageTexts(), (QStringList{"文件夹不存在！", "打开失败！"}));
    }

    void exportNames() {
        TestContext t;
        QTemporaryDir dir;
        DownloadList list;
        QVERIFY(!导出名称(list, false, t.dialogs)); // empty list: no dialog
        QVERIFY(t.dialogs.fileAnswers.empty());
        Fill(list, 4); // n1 completed
        list.setText(2, ColName, QStringLiteral("论文 é"));
        const QString path = dir.path() + "/names.txt";
        t.dialogs.fileAnswers = {path, dir.path() + "/open.txt", QString()};
        QVERIFY(导出名称(list, false, t.dialogs));
        QCOMPARE(Read(path), QString("n0\r\nn1\r\n论文 é\r\nn3\r\n").toUtf8());
        QVERIFY(导出名称(list, true, t.dialogs));
        QCOMPARE(Read(dir.path() + "/open.txt"), QString("n0\r\n论文 é\r\nn3\r\n").toUtf8());
        QVERIFY(!导出名称(list, false, t.dialogs)); // no name chosen
        QVERIFY(t.dialogs.messages.isEmpty());

        // A file that cannot be written shows why.
        t.dialogs.fileAnswers = {dir.path() + "/no/such/folder/x.txt"};
        QVERIFY(!导出名称(list, false, t.dialogs));
        QCOMPARE(t.dialogs.messages.size(), 1);
        QCOMPARE(t.dialogs.messages[0].icon, MessageIcon::Critical);
        QVERIFY(!t.dialogs.messages[0].text.isEmpty());
    }

    void batchReplace() {
        TestContext t;
        DownloadList list;
        list.AddRow("http://OLD.org/1|http://old.org/m", "a", "pdf", "/f/", "http://Old.org/page");
        list.AddRow("http://x.org/2", "b", "pdf", "/f/", "http://old.org/ref");
        QVERIFY(批量替换网址(list, "old", "New", t.dialogs));
        QCOMPARE(list.key(0), QStringLiteral("http://New.org/1|http://New.org/m"));
        QCOMPARE(list.tag(0), QStringLiteral("http://New.org/page"));
        QCOMPARE(list.key(1), QStringLiteral("http://x.org/2"));
        QCOMPARE(list.tag(1), QStringLiteral("http://New.org/ref"));
        QCOMPARE(list.RowOfKey("http://New.org/1|http://New.org/m"), 0);
        QCOMPARE(t.dialogs.messages.size(), 1);
        QCOMPARE(t.dialogs.messages[0].text, QStringLiteral("全部网址替换完成！"));
        QCOMPARE(t.dialogs.messages[0].icon, MessageIcon::Information);

        // Blanks only: refused, nothing changes.
        t.dialogs.messages.clear();
        QVERIFY(!批量替换网址(list, "   ", "z", t.dialogs));
        QCOMPARE(t.dialogs.messageTexts(), QStringList{"请输入字符串！"});
        QCOMPARE(t.dialogs.messages[0].icon, MessageIcon::Critical);
        QCOMPARE(list.key(1), QStringLiteral("http://x.org/2"));
    }

    void batchReplaceKeepsRowsWhoseKeysWouldClash() {
        TestContext t;
        DownloadList list;
        list.AddRow("http://a/1.pdf", "first", "pdf", "/f/", "t1");
        list.AddRow("http://b/1.pdf", "second", "pdf", "/f/", "t2");
        list.AddRow("http://c/1.pdf", "third", "pdf", "/f/", "t3");
        list.AddRow("http://b/2.pdf", "fourth", "pdf", "/f/", "t4");
        // a/1 would become b/1, which the second row holds: the first row keeps its key.
        const UrlReplaceResult r = ReplaceInAddresses(list, "http://a/", "http://b/", true);
        QCOMPARE(r.changedKeys, 0);
        QCOMPARE(r.keptKeys, QStringList{"first"});
        // A key given up by one row can be taken by another in the same replacement.
        const UrlReplaceResult r2 = ReplaceInAddresses(list, "/1.pdf", "/2.pdf", true);
        QCOMPARE(list.count(), 4);
        QSet<QString> keys;
        for (int i = 0; i < list.count(); ++i) keys << list.key(i);
        QCOMPARE(keys.size(), 4);
        QCOMPARE(r2.changedKeys + r2.keptKeys.size(), 3);
        QVERIFY(r2.keptKeys.contains("second")); // b/2 is held by "fourth"

        // An empty key is never taken.
        const UrlReplaceResult r3 = ReplaceInAddresses(list, list.key(3), "", true);
        QCOMPARE(r3.keptKeys, QStringList{"fourth"});
        QVERIFY(!list.key(3).isEmpty());

        // The message names the rows left as they were.
        QVERIFY(ReplaceDoneMessage(r).startsWith("全部网址替换完成！"));
        QVERIFY(ReplaceDoneMessage(r).contains("first"));
    }

    void batchReplaceAsksBeforeSplittingKeys() {
        TestContext t;
        DownloadList list;
        list.AddRow("http://h/a.pdf", "a", "pdf", "/f/", QString());
        list.AddRow("http://h/b.pdf|http://m/b.pdf", "b", "pdf", "/f/", QString());
        t.dialogs.messageAnswers = {MessageAnswer::No};
        QVERIFY(!批量替换网址(list, ".pdf", ".pdf|http://mirror/x", t.dialogs));
        QCOMPARE(list.key(0), QStringLiteral("http://h/a.pdf"));
        QCOMPARE(t.dialogs.messages.size(), 1);
        QCOMPARE(t.dialogs.messages[0].buttons, MessageButtons::YesNo);
        QVERIFY(t.dialogs.messages[0].text.contains("2"));

        t.dialogs.messageAnswers = {MessageAnswer::Yes};
        QVERIFY(批量替换网址(list, ".pdf", ".pdf|http://mirror/x", t.dialogs));
        QCOMPARE(list.key(0), QStringLiteral("http://h/a.pdf|http://mirror/x"));
        QCOMPARE(选择url(list.key(0)), QStringLiteral("http://h/a.pdf"));

        // A "|" that does not add addresses asks nothing.
        t.dialogs.messages.clear();
        QVERIFY(批量替换网址(list, "|http://mirror/x", "|http://m2/x", t.dialogs));
        QCOMPARE(t.dialogs.messageTexts(), QStringList{"全部网址替换完成！"});
    }
};

PELDORA_TEST_MAIN(DownloadListCommandsTest)
#include "tst_downloadlistcommands.moc"
