// The copy dialog's pass with real files: the five same-name rules, the renaming copy, the
// stop in the middle, copies written aside, moves that never lose a source, the folder history.
#include "app/SaveLocation.h"
#include "app/SettingsStore.h"
#include "support/TestContext.h"
#include "tools/CopyFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes, const QDateTime& time = {}) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.flush();
    if (time.isValid()) f.setFileTime(time, QFileDevice::FileModificationTime);
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

QStringList Files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

const QDateTime kTime1 = QDateTime(QDate(2020, 5, 1), QTime(10, 0, 0));
const QDateTime kTime2 = QDateTime(QDate(2021, 6, 2), QTime(11, 0, 0));

struct Rig {
    TestContext t;
    QString src = t.dir() + QStringLiteral("/src/");
    QString dst = t.dir() + QStringLiteral("/dst/");
    CopyMoveForm form{t.ctx()};
    Rig() {
        QDir().mkpath(src);
        QDir().mkpath(dst);
        form.load();
        form.folderText = dst;
    }
    void add(const QString& name, const QByteArray& bytes, const QDateTime& time = kTime1) {
        WriteBytes(src + name, bytes, time);
        form.sources << CopySource::File(src + name);
    }
};

} // namespace

class CopyFilesTest : public QObject {
    Q_OBJECT
private slots:
    void splitPath_data();
    void splitPath();
    void sameNameRules_data();
    void sameNameRules();
    void renamingCopy_data();
    void renamingCopy();
    void passKeepsSettingsHistoryAndMessage();
    void sourcesMissingOrInPlaceAreLeftOut();
    void stopInTheMiddle();
    void folderThatCannotBeCreated();
    void failedCopyLeavesNoTruncatedFile();
    void moveDeletesOnlyWithAnIdenticalCopy();
};

void CopyFilesTest::splitPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("ext");
    QTest::newRow("plain") << "/a/b/report.pdf" << "/a/b/" << "report" << "pdf";
    QTest::newRow("spaces trimmed") << " /a/x .pdf " << "/a/" << "x" << "pdf";
    QTest::newRow("long extension") << "/a/x.verylong" << "/a/" << "x.verylong" << "";
    QTest::newRow("six is an extension") << "/a/x.abcdef" << "/a/" << "x" << "abcdef";
    QTest::newRow("no dot") << "/a/README" << "/a/" << "README" << "";
    QTest::newRow("dot only") << "/a/.pdf" << "/a/" << ".pdf" << "";
    QTest::newRow("no folder") << "f.txt" << "" << "f" << "txt";
}

void CopyFilesTest::splitPath() {
    QFETCH(QString, path);
    const CopyPathParts parts = SplitCopyPath(path);
    QTEST(parts.folder, "folder");
    QTEST(parts.base, "base");
    QTEST(parts.extension, "ext");
}

void CopyFilesTest::sameNameRules_data() {
    QTest::addColumn<int>("rule");
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<QDateTime>("existingTime");
    // What the folder holds afterwards: file names and their contents, in name order.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QList<QByteArray>>("contents");
    using B = QList<QByteArray>;
    QTest::newRow("1 skip") << 1 << QByteArray("OLD") << kTime1 << QStringList{"a.pdf"}
                            << B{"OLD"};
    QTest::newRow("2 overwrite") << 2 << QByteArray("OLD") << kTime1 << QStringList{"a.pdf"}
                                 << B{"SOURCE"};
    QTest::newRow("3 rename") << 3 << QByteArray("SOURCE") << kTime1
                              << QStringList{"a.pdf", "a[001].pdf"} << B{"SOURCE", "SOURCE"};
    QTest::newRow("4 same length and time") << 4 << QByteArray("OTHER!") << kTime1
                                            << QStringList{"a.pdf"} << B{"SOURCE"};
    QTest::newRow("4 same length, other time") << 4 << QByteArray("OTHER!") << kTime2
                                               << QStringList{"a.pdf", "a[001].pdf"}
                                               << B{"OTHER!", "SOURCE"};
    QTest::newRow("4 other length, same time") << 4 << QByteArray("OLD") << kTime1
                                               << QStringList{"a.pdf", "a[001].pdf"}
                                               << B{"OLD", "SOURCE"};
    QTest::newRow("5 same length") << 5 << QByteArray("OTHER!") << kTime2
                                   << QStringList{"a.pdf"} << B{"SOURCE"};
    QTest::newRow("5 other length") << 5 << QByteArray("OLD") << kTime1
                                    << QStringList{"a.pdf", "a[001].pdf"} << B{"OLD", "SOURCE"};
}

void CopyFilesTest::sameNameRules() {
    QFETCH(int, rule);
    QFETCH(QByteArray, existing);
    QFETCH(QDateTime, existingTime);
    QFETCH(QStringList, files);
    QFETCH(QList<QByteArray>, contents);
    Rig r;
    r.add(QStringLiteral("a.pdf"), "SOURCE", kTime1);
    WriteBytes(r.dst + QStringLiteral("a.pdf"), existing, existingTime);
    r.form.opIndex = rule;
    r.form.执行(false);
    QCOMPARE(Files(r.dst), files);
    for (int i = 0; i < files.size(); ++i) QCOMPARE(ReadBytes(r.dst + files[i]), contents[i]);
    // Every copy keeps its source's time, so copying the same file again counts as the same.
    for (const QString& f : files)
        if (ReadBytes(r.dst + f) == "SOURCE")
            QCOMPARE(QFileInfo(r.dst + f).lastModified(), kTime1);
    QVERIFY(r.t.dialogs.messages.isEmpty());
}

void CopyFilesTest::renamingCopy_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("written");
    QTest::newRow("counter dropped") << "report[2].pdf" << QStringList{"report[2].pdf"}
                                     << "report.pdf";
    QTest::newRow("first number") << "report[2].pdf" << QStringList{"report[2].pdf", "report.pdf"}
                                  << "report[001].pdf";
    QTest::newRow("next number")
        << "report[2].pdf" << QStringList{"report[2].pdf", "report.pdf", "report[001].pdf"}
        << "report[002].pdf";
    QTest::newRow("not a number") << "data[x].txt" << QStringList{"data[x].txt"}
                                  << "data[x][001].txt";
    QTest::newRow("bracket only") << "[7].txt" << QStringList{"[7].txt"} << "[7][001].txt";
    QTest::newRow("no extension") << "notes" << QStringList{"notes"} << "notes[001]";
}

void CopyFilesTest::renamingCopy() {
    QFETCH(QString, name);
    QFETCH(QStringList, present);
    QFETCH(QString, written);
    Rig r;
    r.add(name, "NEW");
    for (const QString& p : present)
        if (!QFileInfo::exists(r.dst + p)) WriteBytes(r.dst + p, "PRESENT");
    r.form.opIndex = 3;
    r.form.执行(false);
    QCOMPARE(ReadBytes(r.dst + written), QByteArray("NEW"));
    for (const QString& p : present) QCOMPARE(ReadBytes(r.dst + p), QByteArray("PRESENT"));
}

void CopyFilesTest::passKeepsSettingsHistoryAndMessage() {
    Rig r;
    r.add(QStringLiteral("one.pdf"), "1");
    r.add(QStringLiteral("two.txt"), "22");
    const QString dest = r.t.dir() + QStringLiteral("/new/deeper");
    r.form.folderText = dest;
    r.form.opIndex = 2;
    int progressSeen = 0;
    QStringList shown;
    connect(&r.form, &CopyMoveForm::changed, this, [&] {
        progressSeen = std::max(progressSeen, r.form.progressValue);
        if (!r.form.currentFile.isEmpty()) shown << r.form.currentFile;
        if (r.form.running()) QCOMPARE(r.form.command1Caption(), QStringLiteral("停止"));
    });
    r.form.执行(true);
    QCOMPARE(Files(dest), (QStringList{"one.pdf", "two.txt"}));
    QCOMPARE(shown, (QStringList{"one.pdf", "two.txt"}));
    QCOMPARE(progressSeen, 2);
    QCOMPARE(r.form.progressValue, 0);
    QCOMPARE(r.form.command1Caption(), QStringLiteral("开始"));
    QCOMPARE(r.t.dialogs.messageTexts(), QStringList{kCopyDoneMessage});
    QCOMPARE(r.t.dialogs.messages.first().icon, MessageIcon::Information);
    // The folder, the rule and the history are kept for next time.
    QCOMPARE(r.t.settings.ReadSetting(keys::kCopyMove, keys::kTargetFolder, {}), dest + u'/');
    QCOMPARE(r.t.settings.ReadSetting(keys::kCopyMove, keys::kOpIndex, {}), QStringLiteral("2"));
    QStringList history;
    LoadComboFromFile(history, SaveListPath(r.t.ctx()));
    QCOMPARE(history, QStringList{dest + u'/'});
    CopyMoveForm again(r.t.ctx());
    again.load();
    QCOMPARE(again.folderText, dest + u'/');
    QCOMPARE(again.opIndex, 2);
    QCOMPARE(again.history, history);
}

void CopyFilesTest::sourcesMissingOrInPlaceAreLeftOut() {
    Rig r;
    r.form.sources << CopySource::File(r.src + QStringLiteral("gone.pdf"));
    r.add(QStringLiteral(".hidden"), "h");
    r.form.执行(true);
    // Nothing left to copy: the pass ends without a message.
    QVERIFY(r.form.sources.isEmpty());
    QVERIFY(r.t.dialogs.messages.isEmpty());

    WriteBytes(r.dst + QStringLiteral("here.pdf"), "HERE");
    r.form.sources << CopySource::File(r.dst + QStringLiteral("here.pdf"));
    r.form.opIndex = 3;
    r.form.执行(true);
    QCOMPARE(Files(r.dst), QStringList{"here.pdf"}); // passed by, not copied onto itself
    QCOMPARE(r.t.dialogs.messageTexts(), QStringList{kCopyDoneMessage});
}

void CopyFilesTest::stopInTheMiddle() {
    Rig r;
    for (int i = 1; i <= 5; ++i) r.add(QStringLiteral("f%1.bin").arg(i), QByteArray(10, char('0' + i)));
    // "停止" pressed while the third file is announced: the pass ends before copying it.
    r.t.pump.onPump = [&] {
        if (r.form.currentFile == QStringLiteral("f3.bin")) r.form.执行(true);
    };
    r.form.执行(true);
    QCOMPARE(Files(r.dst), (QStringList{"f1.bin", "f2.bin"}));
    QCOMPARE(ReadBytes(r.dst + QStringLiteral("f2.bin")), QByteArray(10, '2'));
    QVERIFY(!r.form.running());
    QCOMPARE(r.form.command1Caption(), QStringLiteral("开始"));
    QCOMPARE(r.form.sources.size(), 5); // the stop press left the list alone
    QCOMPARE(r.t.dialogs.messageTexts(), QStringList{kCopyDoneMessage});
}

void CopyFilesTest::folderThatCannotBeCreated() {
    Rig r;
    r.add(QStringLiteral("a.pdf"), "A");
    WriteBytes(r.t.dir() + QStringLiteral("/plainfile"), "x");
    r.form.folderText = r.t.dir() + QStringLiteral("/plainfile/sub");
    r.form.执行(true);
    QCOMPARE(r.t.dialogs.messageTexts().last(), kCreateFolderError);
    QCOMPARE(r.t.dialogs.messages.last().icon, MessageIcon::Critical);
    QVERIFY(r.form.folderText.isEmpty());
    QVERIFY(!r.form.running());
}

void CopyFilesTest::failedCopyLeavesNoTruncatedFile() {
    Rig r;
    WriteBytes(r.src + QStringLiteral("short.bin"), "0123456789");
    // A source whose bytes run out early (a cache entry cut off after it was listed).
    CopySource cut = CopySource::File(r.src + QStringLiteral("short.bin"));
    cut.name = QStringLiteral("paper.pdf");
    cut.offset = 4;
    cut.length = 100;
    WriteBytes(r.dst + QStringLiteral("paper.pdf"), "KEEP ME");
    QVERIFY(!CopySourceTo(cut, r.dst + QStringLiteral("paper.pdf")));
    QVERIFY(!CopySourceTo(cut, r.dst + QStringLiteral("new.pdf")));
    QCOMPARE(ReadBytes(r.dst + QStringLiteral("paper.pdf")), QByteArray("KEEP ME"));
    QCOMPARE(Files(r.dst), QStringList{"paper.pdf"}); // no half file, no temporary left
    // A range inside the file copies exactly that range, under the source's name.
    cut.length = 3;
    r.form.sources = {cut};
    r.form.opIndex = 2;
    r.form.执行(false);
    QCOMPARE(ReadBytes(r.dst + QStringLiteral("paper.pdf")), QByteArray("456"));
}

void CopyFilesTest::moveDeletesOnlyWithAnIdenticalCopy() {
    Rig r;
    r.form.moveMode = true;
    QCOMPARE(r.form.caption(), QStringLiteral("移动文件..."));
    r.add(QStringLiteral("moved.pdf"), "M");
    r.add(QStringLiteral("kept.pdf"), "NEW");
    r.add(QStringLiteral("twin.pdf"), "SAME");
    WriteBytes(r.dst + QStringLiteral("kept.pdf"), "DIFFERENT");
    WriteBytes(r.dst + QStringLiteral("twin.pdf"), "SAME");
    r.form.opIndex = 1; // skip: the files in place stay
    r.form.执行(true);
    QCOMPARE(r.t.dialogs.messageTexts(), QStringList{kMoveDoneMessage});
    QCOMPARE(Files(r.src), QStringList{"kept.pdf"}); // its copy differs: the source stays
    QCOMPARE(ReadBytes(r.dst + QStringLiteral("kept.pdf")), QByteArray("DIFFERENT"));
    QCOMPARE(ReadBytes(r.dst + QStringLiteral("moved.pdf")), QByteArray("M"));
    QCOMPARE(ReadBytes(r.dst + QStringLiteral("twin.pdf")), QByteArray("SAME"));
}

PELDORA_TEST_MAIN(CopyFilesTest)
#include "tst_copyfiles.moc"
