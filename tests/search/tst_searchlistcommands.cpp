#include "search/SearchList.h"
#include "search/SearchListCommands.h"
#include "support/TestContext.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

void Fill(SearchList& list, const QStringList& titles) {
    for (int i = 0; i < titles.size(); ++i)
        list.加入LV1(titles[i], QStringLiteral("https://h/%1.pdf").arg(i),
                     QStringLiteral("https://h/r"), QStringLiteral("pdf"), QString(),
                     QStringLiteral("ss-en"));
}

QStringList Titles(const SearchList& list) {
    QStringList titles;
    for (const SearchListRow& row : list.rows()) titles << row.title;
    return titles;
}

} // namespace

class SearchListCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void clearing_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("left");
        const QStringList all{"t1", "PROTEIN folding", "t3", "t4", "protein", "t6"};
        QTest::newRow("selected 2, 3, 5") << 0 << "" << QStringList{"t1", "t4", "t6"};
        QTest::newRow("succeeded") << 1 << "" << QStringList{"t1", "PROTEIN folding", "t3", "t4", "protein"};
        QTest::newRow("title contains") << 2 << "protein" << QStringList{"t1", "t3", "t4", "t6"};
        QTest::newRow("contains, empty answer") << 2 << "" << all;
        QTest::newRow("title lacks") << 3 << "Protein" << QStringList{"PROTEIN folding", "protein"};
        QTest::newRow("lacks x: nothing left") << 3 << "x" << QStringList{};
    }
    void clearing() {
        QFETCH(int, command);
        QFETCH(QString, answer);
        QFETCH(QStringList, left);
        TestContext t;
        SearchList list;
        Fill(list, {"t1", "PROTEIN folding", "t3", "t4", "protein", "t6"});
        list.setStatus(5, QStringLiteral("分析成功"));
        t.dialogs.inputAnswers = {answer, answer};
        const auto run = [&](bool analysisStop) {
            switch (command) {
            case 0:
                return 清除选中项(list, analysisStop, t.dialogs, {1, 2, 4});
            case 1:
                return 清除成功项(list, analysisStop, t.dialogs);
            case 2:
                return 清除标题含指定字符项(list, analysisStop, t.dialogs);
            default:
                return 清除标题不含指定字符项(list, analysisStop, t.dialogs);
            }
        };
        // Refused while a hand-over runs.
        QCOMPARE(run(false), -1);
        QCOMPARE(list.size(), 6);
        QCOMPARE(t.dialogs.messageTexts(), QStringList{"正在分析，不能清除！"});
        QCOMPARE(t.dialogs.messages[0].icon, MessageIcon::Critical);
        QVERIFY(t.dialogs.inputPrompts.isEmpty());

        QCOMPARE(run(true), 6 - int(left.size()));
        QCOMPARE(Titles(list), left);
        QCOMPARE(list.counterText(), QString::number(left.size()));
        if (command >= 2) QCOMPARE(t.dialogs.inputPrompts, QStringList{"请输入指定字符："});
        // The key index follows the rows that are left.
        for (int i = 0; i < list.size(); ++i) QCOMPARE(list.indexOfKey(list.row(i).key), i);
    }

    void clearAllAsksFirst() {
        TestContext t;
        SearchList list;
        Fill(list, {"a", "b"});
        t.dialogs.messageAnswers = {MessageAnswer::No, MessageAnswer::Yes};
        QCOMPARE(清空全部(list, true, t.dialogs), 0);
        QCOMPARE(list.size(), 2);
        QCOMPARE(t.dialogs.messages[0].text, QStringLiteral("您确定要清空辛辛苦苦搜索的列表数据吗？"));
        QCOMPARE(t.dialogs.messages[0].buttons, MessageButtons::YesNo);
        QCOMPARE(t.dialogs.messages[0].icon, MessageIcon::Question);
        QCOMPARE(清空全部(list, true, t.dialogs), 2);
        QVERIFY(list.isEmpty());
    }

    void headerClicksToggleTheSort() {
        TestContext t;
        SearchList list;
        Fill(list, {"b", "C", "a"});
        SearchListSort sort;
        QVERIFY(SortOnHeaderClick(list, sort, 0, false, false, t.dialogs));
        QCOMPARE(Titles(list), (QStringList{"C", "b", "a"}));
        QVERIFY(SortOnHeaderClick(list, sort, 0, false, false, t.dialogs));
        QCOMPARE(Titles(list), (QStringList{"a", "b", "C"}));
        for (int i = 0; i < list.size(); ++i) QCOMPARE(list.indexOfKey(list.row(i).key), i);
        // Rows added later are appended, not sorted in.
        QVERIFY(list.加入LV1("0", "https://h/new.pdf", "https://h/r", "pdf", QString(), "ss-en"));
        QCOMPARE(Titles(list), (QStringList{"a", "b", "C", "0"}));

        for (const auto& [addAll, analysing] : {std::pair{true, false}, std::pair{false, true}}) {
            t.dialogs.messages.clear();
            QVERIFY(!SortOnHeaderClick(list, sort, 0, addAll, analysing, t.dialogs));
            QCOMPARE(t.dialogs.messageTexts(), QStringList{"正在工作，停止后方可排序！"});
            QCOMPARE(t.dialogs.messages[0].icon, MessageIcon::Information);
        }
        QCOMPARE(sort.order, Qt::AscendingOrder);
    }

    void sizeMessage_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("1263") << qint64(1263) << "保存文件完毕：1.23KB";
        QTest::newRow("0") << qint64(0) << "保存文件完毕：0.00KB";
        QTest::newRow("grouped") << qint64(1264 * 1024) << "保存文件完毕：1,264.00KB";
    }
    void sizeMessage() {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(SavedFileMessage(bytes), text);
    }

    void exportTitles() {
        TestContext t;
        QTemporaryDir dir;
        SearchList list;
        QVERIFY(!导出数据(list, t.dialogs)); // no dialog for an empty list
        Fill(list, {"One", "二 titles é", "Three"});
        const QString path = dir.path() + "/titles.txt";
        // An earlier file is replaced whole.
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
        old.close();
        t.dialogs.fileAnswers = {path, dir.path() + "/plain"};
        QVERIFY(导出数据(list, t.dialogs));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray expected = QString("One\r\n二 titles é\r\nThree\r\n").toUtf8();
        QCOMPARE(f.readAll(), expected);
        QCOMPARE(t.dialogs.messageTexts(), QStringList{SavedFileMessage(expected.size())});
        QCOMPARE(t.dialogs.messages[0].icon, MessageIcon::Information);
        // A name without an extension gets ".txt".
        QVERIFY(导出数据(list, t.dialogs));
        QVERIFY(QFile::exists(dir.path() + "/plain.txt"));

        // Cancel and a failed write end quietly.
        t.dialogs.messages.clear();
        t.dialogs.fileAnswers = {QString(), dir.path() + "/missing/x.txt"};
        QVERIFY(!导出数据(list, t.dialogs));
        QVERIFY(!导出数据(list, t.dialogs));
        QVERIFY(t.dialogs.messages.isEmpty());
    }
};

PELDORA_TEST_MAIN(SearchListCommandsTest)
#include "tst_searchlistcommands.moc"
