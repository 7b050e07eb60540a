#include "download/DownloadList.h"
#include "download/SavedFileNaming.h"
#include "support/TestContext.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace peldora;

namespace {
void Touch(const QString& path, const QByteArray& bytes = "x") {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class SavedFileNamingTest : public QObject {
    Q_OBJECT
private slots:
    void skipPolicyMarksExistingFilesDone() {
        QTemporaryDir dir;
        Touch(dir.filePath("paper.pdf"), QByteArray(1234, 'p'));
        DownloadList list;
        list.AddRow("a", "paper", "pdf", dir.path(), {}); // no trailing separator yet
        list.AddRow("b", "other", "pdf", dir.path() + "/", {});

        QVERIFY(!确定是需要下载(list, 0, SameNamePolicy::Skip));
        QCOMPARE(list.status(0), RowStatus::Completed);
        QCOMPARE(list.text(0, ColSize), QStringLiteral("1234"));
        QCOMPARE(list.text(0, ColReceived), QStringLiteral("1234"));
        QCOMPARE(list.text(0, ColPercent), QStringLiteral("已存在，跳过"));

        QVERIFY(确定是需要下载(list, 1, SameNamePolicy::Skip));
        QCOMPARE(list.status(1), RowStatus::Waiting);
        list.setStatus(0, RowStatus::Waiting);
        for (auto policy : {SameNamePolicy::Overwrite, SameNamePolicy::Rename}) {
            QVERIFY(确定是需要下载(list, 0, policy));
            QCOMPARE(list.status(0), RowStatus::Waiting);
        }
    }

    void targetPath_data() {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("policy");
        QTest::addColumn<QString>("finalName");
        const int overwrite = int(SameNamePolicy::Overwrite);
        const int rename = int(SameNamePolicy::Rename);
        const int skip = int(SameNamePolicy::Skip);
        QTest::newRow("free") << QStringList{} << "paper" << rename << "paper";
        QTest::newRow("overwrite keeps the name")
            << QStringList{"paper.pdf"} << "paper" << overwrite << "paper";
        QTest::newRow("first number")
            << QStringList{"paper.pdf"} << "paper" << rename << "paper[001]";
        QTest::newRow("next number")
            << QStringList{"paper.pdf", "paper[001].pdf"} << "paper" << rename << "paper[002]";
        QTest::newRow("skip numbers too")
            << QStringList{"paper.pdf"} << "paper" << skip << "paper[001]";
        QTest::newRow("counter continues") << QStringList{"paper[7].pdf", "paper[007].pdf"}
                                           << "paper[7]" << rename << "paper[008]";
        QTest::newRow("counter kept when free")
            << QStringList{"paper[7].pdf"} << "paper[7]" << rename << "paper[007]";
        // A counter counts only at the end of the name; text after it stays.
        QTest::newRow("text after a bracket kept")
            << QStringList{"report [12] draft.pdf"} << "report [12] draft" << rename
            << "report 『12』 draft";
        QTest::newRow("counter alone, taken")
            << QStringList{"[5].pdf", "[005].pdf"} << "[5]" << rename << "[006]";
        QTest::newRow("counter too large to count")
            << QStringList{"p[9223372036854775807].pdf"} << "p[9223372036854775807]" << rename
            << "p『9223372036854775807』";
        QTest::newRow("brackets replaced")
            << QStringList{"A [review] B.pdf"} << "A [review] B" << rename << "A 『review』 B";
        QTest::newRow("zero counter")
            << QStringList{"p[0].pdf", "p.pdf"} << "p[0]" << rename << "p[001]";
        QTest::newRow("thousand") << QStringList{"p[999].pdf"} << "p[999]" << rename << "p[1000]";
        QTest::newRow("unsafe name cleaned") << QStringList{} << "../../etc/x" << rename << "etcx";
    }
    void targetPath() {
        QFETCH(QStringList, present);
        QFETCH(QString, name);
        QFETCH(int, policy);
        QFETCH(QString, finalName);
        QTemporaryDir dir;
        for (const QString& f : present) Touch(dir.filePath(f));
        const SavePath got = 重命名保存路径(dir.path(), name, "pdf", SameNamePolicy(policy));
        QCOMPARE(got.name, finalName);
        QCOMPARE(got.path, dir.path() + "/" + finalName + ".pdf");
    }

    // Names and types that end in a space are files of their own: the numbering and the skip
    // policy must see the file that is there, not a trimmed one.
    void trailingSpacesNameTheirOwnFile() {
        QTemporaryDir dir;
        Touch(dir.filePath("a "));
        Touch(dir.filePath("b.pdf "));
        SavePath got = 重命名保存路径(dir.path(), "a ", "", SameNamePolicy::Rename);
        QCOMPARE(got.path, dir.path() + "/a [001]");
        got = 重命名保存路径(dir.path(), "b", "pdf ", SameNamePolicy::Rename);
        QCOMPARE(got.path, dir.path() + "/b[001].pdf ");
        DownloadList list;
        list.AddRow("k", "a ", "", dir.path(), {});
        QVERIFY(!确定是需要下载(list, 0, SameNamePolicy::Skip));
        QCOMPARE(list.text(0, ColPercent), QStringLiteral("已存在，跳过"));
    }

    // A name that is only a counter is numbered, never emptied: the folder itself or a hidden
    // ".pdf" is no target.
    void counterAloneNeverEmptiesTheName_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("file");
        QTest::newRow("no type") << "" << "[000]";
        QTest::newRow("pdf") << "pdf" << "[000].pdf";
    }
    void counterAloneNeverEmptiesTheName() {
        QFETCH(QString, type);
        QFETCH(QString, file);
        QTemporaryDir dir;
        Touch(dir.filePath(type.isEmpty() ? "[0]" : "[0]." + type));
        const SavePath got = 重命名保存路径(dir.path(), "[0]", type, SameNamePolicy::Rename);
        QCOMPARE(got.path, dir.path() + "/" + file);
        QCOMPARE(got.name, QStringLiteral("[000]"));
    }

    void emptyPartsStillGiveAPathInTheFolder() {
        QTemporaryDir dir;
        SavePath got = 重命名保存路径(dir.path() + "/", "", "pdf", SameNamePolicy::Rename);
        QCOMPARE(got.path, dir.path() + "/.pdf");
        Touch(dir.filePath("paper"));
        got = 重命名保存路径(dir.path(), "paper", "", SameNamePolicy::Rename);
        QCOMPARE(got.path, dir.path() + "/paper[001]");
    }

    // Without a folder, or with parts that name no file inside it, there is no target: never
    // the root of the file system, the folder itself or a place beside it.
    void noTargetOutsideTheFolder_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::newRow("no folder") << "" << "paper" << "pdf";
        QTest::newRow("blank folder") << "   " << "paper" << "pdf";
        QTest::newRow("nothing to name") << "sub" << "" << "";
        QTest::newRow("name cleans away") << "sub" << "..." << "";
        QTest::newRow("dot type") << "sub" << "" << ".";
        QTest::newRow("type climbs out") << "sub" << "paper" << "/../../x";
    }
    void noTargetOutsideTheFolder() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, type);
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("sub"));
        const QString at = folder == "sub" ? dir.filePath("sub") : folder;
        for (auto policy : {SameNamePolicy::Overwrite, SameNamePolicy::Rename})
            QCOMPARE(重命名保存路径(at, name, type, policy).path, QString());
    }

    void longNamesEndTheLoop() {
        QTemporaryDir dir;
        // A name the file system refuses exists nowhere, so the first candidate is taken.
        const QString longName(255, u'n');
        const SavePath got = 重命名保存路径(dir.path(), longName, "pdf", SameNamePolicy::Rename);
        QCOMPARE(got.name.size(), 200); // cleaned like every file name
        DownloadList list;
        list.AddRow("k", longName, "pdf", dir.path(), {});
        QVERIFY(确定是需要下载(list, 0, SameNamePolicy::Skip));
    }
};

PELDORA_TEST_MAIN(SavedFileNamingTest)
#include "tst_savedfilenaming.moc"
