#include "download/DownloadCommands.h"
#include "download/DownloadList.h"
#include "support/TestContext.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace peldora;

namespace {

void Touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("body");
}

struct RowKind {
    RowStatus status;
    const char* type;
};

// One row of each kind the commands tell apart, each with its file on disk.
const RowKind kRows[] = {
    {RowStatus::Waiting, "pdf"},     // 0
    {RowStatus::Downloading, "pdf"}, // 1
    {RowStatus::Completed, "pdf"},   // 2
    {RowStatus::Failed, "pdf"},      // 3
    {RowStatus::Completed, "htm"},   // 4
    {RowStatus::Completed, "xml"},   // 5
    {RowStatus::Failed, "HTML"},     // 6
    {RowStatus::Failed, "xml"},      // 7
};

} // namespace

class DownloadCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void rotateAddresses_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("rotated");
        QTest::newRow("one") << "a" << "a";
        QTest::newRow("two") << "a|b" << "b|a";
        QTest::newRow("three") << "a|b|c" << "c|a|b";
        QTest::newRow("four") << "a|b|c|d" << "a|b|c|d";
        QTest::newRow("empty second") << "a|" << "|a";
    }
    void rotateAddresses() {
        QFETCH(QString, key);
        QFETCH(QString, rotated);
        QCOMPARE(对调url(key), rotated);
    }

    void resetStep() {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        Touch(folder + "N.HTML");
        Touch(folder + "N.xxx");
        Touch(folder + "N.pdf");
        DownloadList list;
        list.AddRow("A|B", "N", "HTML", folder, "page");
        list.AddRow("C|D", "M", "pdf", folder, {});
        list.AddRow("D|C", "L", "pdf", folder, {}); // holds the rotation of row 1's key
        for (int r = 0; r < 3; ++r) {
            list.setStatus(r, RowStatus::Failed);
            list.setText(r, ColSize, "1,234");
            list.setText(r, ColReceived, "1000");
            list.setText(r, ColPercent, "81%");
        }
        list.setStatus(2, RowStatus::Completed);

        QCOMPARE(重新下载出错项(list), 2);
        QVERIFY(!QFile::exists(folder + "N.HTML"));
        QVERIFY(!QFile::exists(folder + "N.xxx"));
        QVERIFY(QFile::exists(folder + "N.pdf"));
        QCOMPARE(list.status(0), RowStatus::Waiting);
        QCOMPARE(list.text(0, ColType), QStringLiteral("xxx"));
        for (int column : {ColSize, ColReceived, ColPercent}) QCOMPARE(list.text(0, column), QString());
        QCOMPARE(list.key(0), QStringLiteral("B|A"));
        QCOMPARE(list.RowOfKey("B|A"), 0);
        QCOMPARE(list.tag(0), QStringLiteral("page"));
        // Keys stay unique: a rotation another row holds is not taken.
        QCOMPARE(list.status(1), RowStatus::Waiting);
        QCOMPARE(list.text(1, ColType), QStringLiteral("pdf"));
        QCOMPARE(list.key(1), QStringLiteral("C|D"));
        QCOMPARE(list.RowOfKey("D|C"), 2);
    }

    void rowChoices_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QList<int>>("reset");
        QTest::addColumn<QList<int>>("placeholders"); // rows whose type becomes "xxx"
        QTest::newRow("selected") << 0 << QList<int>{2, 3} << QList<int>{};
        QTest::newRow("failed") << 1 << QList<int>{3, 6, 7} << QList<int>{6};
        QTest::newRow("web pages") << 2 << QList<int>{4, 5, 6, 7} << QList<int>{4, 5, 6, 7};
        QTest::newRow("failed and web pages") << 3 << QList<int>{3, 4, 6, 7} << QList<int>{4, 6};
    }
    void rowChoices() {
        QFETCH(int, command);
        QFETCH(QList<int>, reset);
        QFETCH(QList<int>, placeholders);
        QTemporaryDir dir;
        DownloadList list;
        const int n = int(std::size(kRows));
        for (int r = 0; r < n; ++r) {
            list.AddRow(QStringLiteral("http://h/%1").arg(r), QStringLiteral("f%1").arg(r),
                        QString::fromLatin1(kRows[r].type), dir.path(), {});
            list.setStatus(r, kRows[r].status);
            list.setText(r, ColPercent, QStringLiteral("100%"));
            Touch(list.RowFilePath(r));
        }
        const std::function<int()> commands[] = {
            [&] { return 重新下载选中项(list, {0, 1, 2, 3, 3}); },
            [&] { return 重新下载出错项(list); },
            [&] { return 重新下载文件类型为HTM和HTML项(list); },
            [&] { return 重新下载出错项和网页项(list); },
        };
        QCOMPARE(commands[command](), reset.size());
        for (int r = 0; r < n; ++r) {
            const bool wasReset = reset.contains(r);
            QCOMPARE(list.text(r, ColPercent).isEmpty(), wasReset);
            QCOMPARE(QFile::exists(dir.filePath(QStringLiteral("f%1.").arg(r) + kRows[r].type)),
                     !wasReset);
            if (wasReset) QCOMPARE(list.status(r), RowStatus::Waiting);
            else QCOMPARE(list.status(r), kRows[r].status);
            QCOMPARE(list.text(r, ColType) == QStringLiteral("xxx"), placeholders.contains(r));
        }
    }

    void smallerThanANumber_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QList<int>>("reset");
        // Rows: 0 completed 1,000/1000; 1 completed 1000/900; 2 completed 未知/1000;
        // 3 failed 2048/2048; 4 waiting 100/100; 5 completed 16777216/16777216 htm
        QTest::newRow("1024") << std::optional<QString>("1024") << QList<int>{0};
        QTest::newRow("trimmed") << std::optional<QString>("  4096 ") << QList<int>{0, 3};
        QTest::newRow("one byte above 16 MB")
            << std::optional<QString>("16777217") << QList<int>{0, 3, 5};
        QTest::newRow("exactly 16 MB") << std::optional<QString>("16777216") << QList<int>{0, 3};
        QTest::newRow("not a number") << std::optional<QString>("abc") << QList<int>{};
        QTest::newRow("empty") << std::optional<QString>("") << QList<int>{};
        QTest::newRow("cancelled") << std::optional<QString>() << QList<int>{};
    }
    void smallerThanANumber() {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QList<int>, reset);
        peldora::test::TestContext tc;
        tc.dialogs.inputAnswers.push_back(answer);
        QTemporaryDir dir;
        DownloadList list;
        const struct {
            RowStatus status;
            const char* size;
            const char* received;
            const char* type;
        } rows[] = {
            {RowStatus::Completed, "1,000", "1000", "pdf"},
            {RowStatus::Completed, "1000", "900", "pdf"},
            {RowStatus::Completed, "未知", "1000", "pdf"},
            {RowStatus::Failed, "2048", "2048", "pdf"},
            {RowStatus::Waiting, "100", "100", "pdf"},
            {RowStatus::Completed, "16777216", "16777216", "htm"},
        };
        for (int r = 0; r < int(std::size(rows)); ++r) {
            list.AddRow(QStringLiteral("http://h/%1|http://m/%1").arg(r),
                        QStringLiteral("f%1").arg(r), rows[r].type, dir.path(), {});
            list.setStatus(r, rows[r].status);
            list.setText(r, ColSize, QString::fromUtf8(rows[r].size));
            list.setText(r, ColReceived, rows[r].received);
            Touch(list.RowFilePath(r));
        }
        QCOMPARE(重新下载文件大小小于指定数字的项(list, tc.dialogs), reset.size());
        QCOMPARE(tc.dialogs.inputPrompts, QStringList{kAskNumberPrompt});
        for (int r = 0; r < int(std::size(rows)); ++r) {
            const bool wasReset = reset.contains(r);
            QCOMPARE(list.status(r) == RowStatus::Waiting, wasReset || r == 4);
            QCOMPARE(list.text(r, ColSize).isEmpty(), wasReset);
            QCOMPARE(list.key(r).startsWith(QStringLiteral("http://m/")), wasReset);
            QCOMPARE(QFile::exists(dir.filePath(QStringLiteral("f%1.").arg(r) + rows[r].type)),
                     !wasReset);
        }
        if (reset.contains(5)) QCOMPARE(list.text(5, ColType), QStringLiteral("xxx"));
    }
};

PELDORA_TEST_MAIN(DownloadCommandsTest)
#include "tst_downloadcommands.moc"
