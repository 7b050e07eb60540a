#include "common/FileHelpers.h"
#include "common/PathSeparator.h"
#include "support/TestContext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace peldora;

namespace {
void Touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}
} // namespace

class FileHelpersTest : public QObject {
    Q_OBJECT
private slots:
    void sanitize_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("clean");
        QTest::newRow("reserved and dots") << "..a/b:c*?.." << "abc";
        QTest::newRow("all reserved") << "\\/:*?\"<>|x" << "x";
        QTest::newRow("line break joins") << "Deep\r\nLearning" << "DeepLearning";
        QTest::newRow("only dots") << "...." << "";
        QTest::newRow("spaces stay") << " a b " << " a b ";
        QTest::newRow("inner dots stay") << "a.b.pdf" << "a.b.pdf";
        QTest::newRow("ascii cut to 200") << QString(250, u'a') << QString(200, u'a');
        QTest::newRow("cjk within 200 bytes") << QString(150, u'中') << QString(66, u'中');
        // Names are cut on characters: a pair is never split, and the cut leaves no dot at the
        // end, so a second pass changes nothing.
        QTest::newRow("pair not split by the cut")
            << QString(199, u'a') + QStringLiteral("😀b") << QString(199, u'a');
        QTest::newRow("dots the cut exposes go")
            << QString(198, u'a') + QStringLiteral("..b") << QString(198, u'a');
        // Web titles carry lone surrogates; no file system takes them, and they used to come
        // back as "?".
        QTest::newRow("lone surrogates dropped")
            << QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b") + QChar(0xDC00)
            << QStringLiteral("ab");
        QTest::newRow("leading BOM kept, no hidden name")
            << QChar(0xFEFF) + QStringLiteral(".x") << QChar(0xFEFF) + QStringLiteral(".x");
    }
    void sanitize() {
        QFETCH(QString, text);
        QFETCH(QString, clean);
        QCOMPARE(SanitizeFileName(text), clean);
    }

    void removeLineBreaks() {
        QCOMPARE(RemoveLineBreaks(QStringLiteral("a\r\nb\rc\nd") + QChar(0) + "e"), QStringLiteral("abcde"));
    }

    void nameFromAddress_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("strip");
        QTest::addColumn<QString>("name");
        QTest::newRow("address") << "https://h/a/b/paper.pdf" << false << "paper.pdf";
        QTest::newRow("stripped") << "https://h/a/b/paper.v2.pdf" << true << "paper.v2";
        QTest::newRow("no dot stays whole") << "https://h/a/_pdf" << true << "_pdf";
        QTest::newRow("trailing slash") << "https://h/a/" << false << "";
        QTest::newRow("trimmed") << "https://h/a/ x.pdf " << true << "x";
        QTest::newRow("backslashes split") << "https://h/a\\b\\paper.pdf" << false << "paper.pdf";
    }
    void nameFromAddress() {
        QFETCH(QString, address);
        QFETCH(bool, strip);
        QFETCH(QString, name);
        QCOMPARE(FileNameFromAddress(address, strip), name);
    }

    void splitNameAndExtension_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "/d/paper.pdf" << "pdf" << "paper";
        QTest::newRow("no dot") << "/d/paper" << "" << "paper";
        QTest::newRow("six-letter ext") << "/d/a.abcdef" << "abcdef" << "a";
        QTest::newRow("seven is no ext") << "/d/a.abcdefg" << "" << "a.abcdefg";
        QTest::newRow("last dot") << "/d/a.tar.gz" << "gz" << "a.tar";
        QTest::newRow("backslashes split") << "C:\\d.x\\paper.pdf" << "pdf" << "paper";
    }
    void splitNameAndExtension() {
        QFETCH(QString, path);
        QFETCH(QString, ext);
        QFETCH(QString, name);
        const auto [e, n] = SplitNameAndExtension(path);
        QCOMPARE(e, ext);
        QCOMPARE(n, name);
    }

    void existence() {
        QTemporaryDir dir;
        const QString file = dir.path() + "/a.pdf";
        Touch(file);
        QVERIFY(FileExists(file));
        // A path the program built is taken as it is: "a " and "a" are two files.
        QVERIFY(!FileExists("  " + file + "  "));
        Touch(dir.path() + "/b ");
        QVERIFY(FileExists(dir.path() + "/b "));
        QVERIFY(!FileExists(dir.path() + "/b"));
        QVERIFY(FileExists("FILE://" + file));
        QVERIFY(!FileExists(dir.path()));
        QVERIFY(!FileExists(""));
        QFile::setPermissions(file, QFileDevice::Permissions());
        QVERIFY(FileExists(file)); // unreadable files still exist
        QVERIFY(FolderExists(dir.path()));
        QVERIFY(!FolderExists(file));
        QVERIFY(!FolderExists("   "));
        QVERIFY(FolderExists("a:" + PathSepText()));
    }

    void createFolderPath() {
        QTemporaryDir dir;
        const QString base = dir.path();
        QStringList errors;
        const auto report = [&](const QString& m) { errors << m; };
        QCOMPARE(CreateFolderPath(base + "/x/y/", report), base + "/x/y");
        QVERIFY(QFileInfo(base + "/x/y").isDir());
        // Everything after a doubled separator is ignored.
        QCOMPARE(CreateFolderPath(base + "/p//q", report), base + "/p");
        QVERIFY(!QFileInfo(base + "/p/q").exists());
        // Pieces are cleaned.
        QCOMPARE(CreateFolderPath(base + "/a:b*c", report), base + "/abc");
        QVERIFY(errors.isEmpty());
        // A piece that cleans to nothing is reported and the walk stops.
        QCOMPARE(CreateFolderPath(base + "/ok/..../z", report), base + "/ok");
        QCOMPARE(errors, QStringList{kBadFolderNameMessage});
        QVERIFY(!QFileInfo(base + "/ok/z").exists());
        errors.clear();
        QCOMPARE(CreateFolderPath("//", report), QString());
        QCOMPARE(errors, QStringList{kBadFolderNameMessage});
    }

    void createFolderPathFailures() {
        QTemporaryDir dir;
        const QString file = dir.path() + "/plain";
        Touch(file);
        // A file where a folder is wanted, and a place nobody may create folders in.
        QCOMPARE(CreateFolderPath(file + "/sub", {}), QString());
        QVERIFY(!QFileInfo(file + "/sub").exists());
        QCOMPARE(CreateFolderPath("/proc/peldora-no/such", {}), QString());
        QCOMPARE(CreateFolderPath("", {}), QString());
        QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        CreateFolderPath(dir.path() + "/" + QString(100000, u'a'), {});
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(),
                 before.size() + 1); // one folder named with the 200-byte cut, nothing else
    }

    void uniqueNumberedPath() {
        QTemporaryDir dir;
        const QString d = dir.path() + "/";
        QCOMPARE(UniqueNumberedPath(d + "a.htm"), d + "a.htm");
        Touch(d + "a.htm");
        Touch(d + "a[0001].htm");
        QCOMPARE(UniqueNumberedPath(d + "a.htm"), d + "a[0002].htm");
        // A counter already in the name is replaced, not stacked.
        QCOMPARE(UniqueNumberedPath(d + "a[0001].htm"), d + "a[0002].htm");
        Touch(d + "noext");
        QCOMPARE(UniqueNumberedPath(d + "noext"), d + "noext[0001]");
        Touch(d + "x[ab].pdf");
        QCOMPARE(UniqueNumberedPath(d + "x[ab].pdf"), d + "x[ab][0001].pdf");
        const QString longBase = QString(120, u'b');
        Touch(d + longBase + ".pdf");
        QCOMPARE(UniqueNumberedPath(d + longBase + ".pdf"), d + QString(100, u'b') + ".pdf");
    }

    void badInput() {
        QString big(100000, u'x');
        big[10] = QChar(0);
        big[11] = QChar(0xD800);
        const QString texts[] = {QString(), big, QStringLiteral("\x01\x02"), QString(QChar(0xDFFF))};
        for (const QString& t : texts) {
            QVERIFY(SanitizeFileName(t).toUtf8().size() <= 200);
            RemoveLineBreaks(t);
            FileNameFromAddress(t, true);
            SplitNameAndExtension(t);
            QVERIFY(!FileExists(t));
            FolderExists(t);
            UniqueNumberedPath(t);
        }
    }
};

PELDORA_TEST_MAIN(FileHelpersTest)
#include "tst_filehelpers.moc"
