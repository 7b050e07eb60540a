#include "download/DownloadList.h"
#include "support/TestContext.h"

#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QtTest>

using namespace peldora;

namespace {

// Rows "r0", "r1", ... with the given cells in one column.
void FillColumn(DownloadList& list, int column, const QStringList& cells) {
    for (int i = 0; i < cells.size(); ++i) {
        const int r = list.count();
        QVERIFY(list.AddRow(QStringLiteral("http://h/%1").arg(r), QStringLiteral("r%1").arg(r),
                            "pdf", "/tmp/", {}));
        list.setText(r, column, cells.at(i));
    }
}

QStringList Column(const DownloadList& list, int column) {
    QStringList out;
    for (int r = 0; r < list.count(); ++r) out << list.text(r, column);
    return out;
}

} // namespace

class DownloadListTest : public QObject {
    Q_OBJECT
private slots:
    void addRowKeepsKeysUnique() {
        DownloadList list;
        QVERIFY(list.AddRow("http://a/1.pdf", "one", "pdf", "/d/", "http://a/page"));
        QVERIFY(!list.AddRow("http://a/1.pdf", "again", "htm", "/e/", {}));
        QVERIFY(!list.AddRow({}, "no key", "pdf", "/d/", {}));
        // Keys with bars at their ends are ordinary, distinct keys.
        QVERIFY(list.AddRow("|http://a/1.pdf", "two", "pdf", "/d/", {}));
        QVERIFY(list.AddRow("http://a/1.pdf|", "three", "pdf", "/d/", {}));
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.text(0, ColName), QStringLiteral("one"));
        QCOMPARE(list.tag(0), QStringLiteral("http://a/page"));
        QCOMPARE(list.status(0), RowStatus::Waiting);
        for (int c : {ColSize, ColReceived, ColPercent, ColB}) QVERIFY(list.text(0, c).isEmpty());
        QCOMPARE(list.RowOfKey("http://a/1.pdf|"), 2);

        // The index follows removals and key changes.
        list.RemoveRowAt(0);
        QCOMPARE(list.RowOfKey("|http://a/1.pdf"), 0);
        QVERIFY(list.AddRow("http://a/1.pdf", "back", "pdf", "/d/", {}));
        QVERIFY(!list.setKey(2, "|http://a/1.pdf"));
        QCOMPARE(list.key(2), QStringLiteral("http://a/1.pdf"));
        QVERIFY(list.setKey(2, "http://b|http://a/1.pdf"));
        QCOMPARE(list.RowOfKey("http://b|http://a/1.pdf"), 2);
        QCOMPARE(list.RowOfKey("http://a/1.pdf"), -1);
    }

    // A row keeps its identity while others are removed, the list is sorted or shuffled, and
    // an identity is never handed to another row; keys and row numbers follow every change.
    void rowsKeepTheirIdentity() {
        DownloadList list;
        FillColumn(list, ColSize, {"3", "1", "2", "5", "4"});
        const RowId third = list.idOfRow(2);
        const RowId first = list.idOfRow(0);
        QVERIFY(third != 0 && first != third);
        list.RemoveRowAt(0);
        QCOMPARE(list.rowOfId(first), -1);
        QCOMPARE(list.rowOfId(third), 1);
        QVERIFY(list.AddRow("http://h/0", "r0 again", "pdf", "/tmp/", {}));
        QVERIFY(list.idOfRow(list.count() - 1) != first);
        list.SortByColumn(ColSize, Qt::AscendingOrder);
        QCOMPARE(list.text(list.rowOfId(third), ColSize), QStringLiteral("2"));
        QCOMPARE(list.key(list.rowOfId(third)), QStringLiteral("http://h/2"));
        QCOMPARE(list.RowOfKey("http://h/2"), list.rowOfId(third));
        // A permutation moves whole rows; anything else changes nothing.
        const QStringList before = Column(list, ColName);
        QVERIFY(!list.PermuteRows({0, 0, 1, 2, 3}));
        QVERIFY(!list.PermuteRows({0, 1}));
        QCOMPARE(Column(list, ColName), before);
        QVERIFY(list.PermuteRows({4, 3, 2, 1, 0}));
        QStringList reversed(before.rbegin(), before.rend());
        QCOMPARE(Column(list, ColName), reversed);
        for (int r = 0; r < list.count(); ++r) QCOMPARE(list.RowOfKey(list.key(r)), r);
        QCOMPARE(list.idOfRow(list.count()), RowId(0));
    }

    // Moving rows by removing and adding them again keeps the duplicate test exact.
    void removeThenAddKeepsKeysExact() {
        DownloadList list;
        FillColumn(list, ColSize, {"a", "b", "c", "d"});
        for (int i = 0; i < 8; ++i) {
            const DownloadListRow row = list.row(0);
            list.RemoveRowAt(0);
            QVERIFY(!list.ContainsKey(row.key));
            QVERIFY(list.AddRow(row.key, row.cells[ColName], row.cells[ColType],
                                row.cells[ColFolder], row.tag));
            QVERIFY(!list.AddRow(row.key, "twice", "pdf", "/tmp/", {}));
        }
        QCOMPARE(list.count(), 4);
        for (int r = 0; r < list.count(); ++r) QCOMPARE(list.RowOfKey(list.key(r)), r);
    }

    void firstAddressOfKey_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("url");
        QTest::newRow("one") << "http://a/x.pdf"
                             << "http://a/x.pdf";
        QTest::newRow("three") << "http://a|http://b|http://c"
                               << "http://a";
        QTest::newRow("leading bar") << "|http://b"
                                     << "";
        QTest::newRow("trailing bar") << "http://a|"
                                      << "http://a";
    }
    void firstAddressOfKey() {
        QFETCH(QString, key);
        QFETCH(QString, url);
        QCOMPARE(选择url(key), url);
    }

    void rowFilePath_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("path");
        QTest::newRow("pdf") << "/d/"
                             << "paper"
                             << "pdf"
                             << "/d/paper.pdf";
        QTest::newRow("no type") << "/d/"
                                 << "paper"
                                 << ""
                                 << "/d/paper";
        QTest::newRow("folder without separator") << "/d"
                                                  << "paper"
                                                  << "pdf"
                                                  << "/d/paper.pdf";
        QTest::newRow("no name") << "/d/"
                                 << ""
                                 << "pdf"
                                 << "/d/.pdf";
        QTest::newRow("no folder") << ""
                                   << "paper"
                                   << "pdf"
                                   << "";
        QTest::newRow("nothing to name") << "/d/"
                                         << ""
                                         << ""
                                         << "";
        QTest::newRow("name leaves folder") << "/d/"
                                            << "../x"
                                            << "pdf"
                                            << "";
        QTest::newRow("parent folder") << "/d/"
                                       << ".."
                                       << ""
                                       << "";
        QTest::newRow("type leaves folder") << "/d/"
                                            << "a"
                                            << "b/../../c"
                                            << "";
    }
    void rowFilePath() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QString, path);
        DownloadList list;
        list.AddRow("k", name, type, folder, {});
        QCOMPARE(list.RowFilePath(0), path);
    }

    void statisticsAndQueries() {
        DownloadList list;
        QCOMPARE(list.StatisticsLine(), QStringLiteral("总数:0 正在下载:0 等待:0 已完成:0 失败:0"));
        QCOMPARE(list.RowCountText(), QStringLiteral("0条"));
        QVERIFY(list.检测是否下载列表完毕());
        QCOMPARE(list.统计未下载项数目(), 0);

        for (int i = 0; i < 5; ++i) list.AddRow(QString::number(i), "n", "pdf", "/d/", {});
        list.setStatus(0, RowStatus::Downloading);
        list.setStatus(3, RowStatus::Completed);
        list.setStatus(4, RowStatus::Failed);
        list.setText(3, ColPercent, "100%");
        list.setText(4, ColSize, "下载失败");
        QCOMPARE(list.StatisticsLine(), QStringLiteral("总数:5 正在下载:1 等待:2 已完成:1 失败:1"));
        QCOMPARE(list.RowCountText(), QStringLiteral("5条"));
        QVERIFY(!list.检测是否下载列表完毕());
        // Counted by empty columns 2 to 4, whatever the status.
        QCOMPARE(list.统计未下载项数目(), 3);

        list.RemoveRowsWhere(
            [](const DownloadListRow& r) { return r.status != RowStatus::Failed; });
        QCOMPARE(list.StatisticsLine(), QStringLiteral("总数:1 正在下载:0 等待:0 已完成:0 失败:1"));
        QVERIFY(list.检测是否下载列表完毕());
        list.Clear();
        QCOMPARE(list.counts().total(), 0);
    }

    void removingAdjacentRows() {
        DownloadList list;
        FillColumn(list, ColPercent, {"x", "x", "", "x", "x"});
        QCOMPARE(list.RemoveRowsWhere(
                     [](const DownloadListRow& r) { return r.cells[ColPercent] == "x"; }),
                 4);
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.RowOfKey("http://h/2"), 0);
    }

    void headersAlignmentAndEditing() {
        DownloadList list;
        list.AddRow("k", "n", "pdf", "/d/", {});
        const QStringList headers = {"名称",   "类型",     "文件大小", "已下载数",
                                     "百分比", "保存路径", "B"};
        QCOMPARE(list.columnCount(), 7);
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(list.headerData(c, Qt::Horizontal).toString(), headers.at(c));
            const int align = list.data(list.index(0, c), Qt::TextAlignmentRole).toInt();
            QCOMPARE(bool(align & Qt::AlignRight), c >= 2 && c <= 4);
            QVERIFY(!(list.flags(list.index(0, c)) & Qt::ItemIsEditable));
        }
        QVERIFY(!list.setData(list.index(0, 0), "renamed"));
        QCOMPARE(list.text(0, 0), QStringLiteral("n"));
        QVERIFY(!list.data(list.index(0, 0), Qt::DecorationRole).value<QIcon>().isNull());
    }

    // Each header click toggles the order; a new list starts ascending, so the first click
    // sorts descending.
    void sorting_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("ascending");
        QTest::newRow("size by number")
            << int(ColSize) << QStringList{"100", "9", "下载失败", "10", ""}
            << QStringList{"", "9", "10", "100", "下载失败"};
        QTest::newRow("received with grouping")
            << int(ColReceived) << QStringList{"1,000", "999", "0012"}
            << QStringList{"12", "999", "1000"};
        QTest::newRow("percent") << int(ColPercent)
                                 << QStringList{"45%", "100%", "大文件，跳过", "5%", "不存在"}
                                 << QStringList{"5%", "45%", "100%", "不存在", "大文件，跳过"};
        QTest::newRow("name as text, case ignored")
            << int(ColName) << QStringList{"b", "A", "a2", "10", "9"}
            << QStringList{"10", "9", "A", "a2", "b"};
    }
    void sorting() {
        QFETCH(int, column);
        QFETCH(QStringList, cells);
        QFETCH(QStringList, ascending);
        DownloadList list;
        FillColumn(list, column, cells);
        list.ToggleSortByColumn(column);
        QCOMPARE(list.sortOrder(), Qt::DescendingOrder);
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(Column(list, column), descending);
        list.ToggleSortByColumn(column);
        QCOMPARE(list.sortOrder(), Qt::AscendingOrder);
        QCOMPARE(Column(list, column), ascending);
    }

    void sortKeepsRowsWholeAndSelectionAttached() {
        DownloadList list;
        FillColumn(list, ColSize, {"30", "10", "20"});
        list.setStatus(0, RowStatus::Failed);
        list.setTag(0, "page-of-30");
        QItemSelectionModel selection(&list);
        selection.select(list.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list.SortByColumn(ColSize, Qt::AscendingOrder);
        QCOMPARE(list.text(2, ColSize), QStringLiteral("30"));
        QCOMPARE(list.status(2), RowStatus::Failed);
        QCOMPARE(list.tag(2), QStringLiteral("page-of-30"));
        QCOMPARE(list.RowOfKey("http://h/0"), 2);
        QVERIFY(selection.isRowSelected(2, {}));
        QVERIFY(!selection.isRowSelected(0, {}));
        // Rows added after a sort go to the end.
        list.AddRow("late", "late", "pdf", "/d/", {});
        list.setText(3, ColSize, "1");
        QCOMPARE(list.text(3, ColSize), QStringLiteral("1"));
    }
};

PELDORA_TEST_MAIN(DownloadListTest)
#include "tst_downloadlist.moc"
