#include "download/DownloadList.h"
#include "download/DownloadWindowState.h"
#include "download/FileTypeCheck.h"
#include "support/TestContext.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

using Placements = QList<QPair<int, QByteArray>>;
Q_DECLARE_METATYPE(Placements)

namespace {

// A file of `size` bytes of filler with the given bytes written at their offsets.
QByteArray Content(int size, const Placements& placements, char filler = 'z') {
    QByteArray bytes(size, filler);
    for (const auto& [offset, run] : placements) bytes.replace(offset, run.size(), run);
    return bytes.left(size);
}

QString Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(bytes);
    return path;
}

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

const QByteArray kWebPage = "<!DOCTYPE html>\r\n<html lang=\"en\"><head><title>Login</title></head>"
                            "<body>please log in</body></html>\r\n";

} // namespace

class FileTypeCheckTest : public QObject {
    Q_OBJECT
private slots:
    void signatures_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<Placements>("bytes");
        QTest::addColumn<QString>("kind");
        const auto at0 = [](const char* hex) { return Placements{{0, Hex(hex)}}; };
        QTest::newRow("pdf") << 64 << Placements{{0, "%PDF-1.4"}} << "pdf";
        QTest::newRow("caj") << 64 << at0("C8000000") << "caj";
        QTest::newRow("CAJ is kdh") << 64 << at0("43414A00") << "kdh";
        QTest::newRow("kdh") << 64 << at0("4B444820") << "kdh";
        QTest::newRow("nh") << 64 << at0("484E0000") << "nh";
        QTest::newRow("tif") << 64 << at0("49492A00") << "tif";
        QTest::newRow("rtf") << 64 << Placements{{0, "{\\rtf1"}} << "rtf";
        QTest::newRow("exe, 20 bytes") << 20 << at0("4D5A") << "exe";
        QTest::newRow("rar") << 64 << at0("52617221") << "rar";
        QTest::newRow("zip") << 64 << at0("504B0304140000000800") << "zip";
        QTest::newRow("docx") << 64 << at0("504B0304140006000800") << "docx";
        QTest::newRow("swf") << 64 << at0("43575306") << "swf";
        QTest::newRow("rm") << 64 << at0("2E524D46") << "rm";
        QTest::newRow("wma") << 64 << at0("3026B2758E") << "wma";
        QTest::newRow("mp3 ID3v2") << 64 << at0("49443303") << "mp3";
        QTest::newRow("png") << 64 << at0("89504E470D0A1A0A") << "png";
        QTest::newRow("gif") << 64 << Placements{{0, "GIF89a"}} << "gif";
        QTest::newRow("GIF87a unknown") << 64 << Placements{{0, "GIF87a"}} << "";
        QTest::newRow("jpg exif") << 64
                                  << Placements{{0, Hex("FFD8FFE1")},
                                                {6, "Exif"},
                                                {12, Hex("4D4D002A")}}
                                  << "jpg";
        QTest::newRow("jpg exif, Intel order unknown")
            << 64 << Placements{{0, Hex("FFD8FFE1")}, {6, "Exif"}, {12, Hex("49492A00")}} << "";
        QTest::newRow("jpg jfif") << 64 << at0("FFD8FFE000104A464946") << "jpg";
        const QByteArray ole = Hex("D0CF11E0A1B11AE1");
        QTest::newRow("doc") << 1024 << Placements{{0, ole}, {512, Hex("ECA5C100")}} << "doc";
        QTest::newRow("xls") << 1024 << Placements{{0, ole}, {512, Hex("09081000")}} << "xls";
        QTest::newRow("ppt") << 1024 << Placements{{0, ole}, {512, Hex("A0A0A0F0")}} << "ppt";
        QTest::newRow("other compound") << 1024 << Placements{{0, ole}} << "";
        // The zero byte after a short file's end counts as its byte at offset "length".
        QTest::newRow("doc ending at 515")
            << 515 << Placements{{0, ole}, {512, Hex("ECA5C1")}} << "doc";
        QTest::newRow("compound too short") << 100 << Placements{{0, ole}} << "";
        // The first matching test wins: a PDF header before anything else.
        QTest::newRow("pdf before later tests")
            << 64 << Placements{{0, "%PDF"}, {4, "GIF89a"}} << "pdf";
        // A test that needs bytes past the end stops the detection.
        QTest::newRow("3 bytes") << 3 << Placements{{0, "MZ"}} << "";
        QTest::newRow("4 bytes reach test 8") << 4 << Placements{{0, "MZ"}} << "exe";
        QTest::newRow("9 bytes stop at test 18") << 9 << Placements{{0, "GIF87"}} << "";
        QTest::newRow("empty file") << 0 << Placements{} << "";
    }
    void signatures() {
        QFETCH(int, size);
        QFETCH(Placements, bytes);
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = Write(dir.filePath("f.bin"), Content(size, bytes));
        QCOMPARE(打开文件判断文件类型(path), kind);
    }

    void contentTests_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("kind");
        QByteArray tagged(1000, 'z');
        tagged.replace(1000 - 128, 3, "TAG");
        QTest::newRow("ID3v1 tag at the end") << tagged << "mp3";
        QByteArray only128(128, 'z');
        only128.replace(0, 3, "TAG");
        QTest::newRow("128 bytes are too short for a tag") << only128 << "";
        QTest::newRow("web page") << kWebPage << "htm";
        QTest::newRow("upper-case page") << QByteArray("<HTML><HEAD></HEAD>hello</HTML>") << "htm";
        QTest::newRow("html without head, title or body")
            << QByteArray("<html lang=x>just text</html>") << "";
        QTest::newRow("300 KB page") << kWebPage + QByteArray(300 * 1024, ' ') << "";
        QTest::newRow("tags past the leading bytes") << QByteArray(20000, ' ') + kWebPage << "";
        const QByteArray caa = "[TARGET]\r\nA1=1\r\nA2=2\r\nB1=3\r\nb2=4\r\nC1=5\r\nC2=6\r\n"
                               "D1=7\r\nD2=8\r\nDocType=9\r\n";
        QTest::newRow("caa") << caa << "caa";
        QTest::newRow("caa missing a key") << QByteArray(caa).replace("D2=", "D3=") << "";
        QTest::newRow("caa too long") << caa + QByteArray(3 * 1024, ' ') << "";
    }
    void contentTests() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QCOMPARE(打开文件判断文件类型(Write(dir.filePath("f"), bytes)), kind);
    }

    void unusualPaths() {
        QTemporaryDir dir;
        QCOMPARE(打开文件判断文件类型(dir.filePath("missing.pdf")), QString());
        QCOMPARE(打开文件判断文件类型(dir.path()), QString());
        QCOMPARE(打开文件判断文件类型(QString()), QString());
        const QString pdf = Write(dir.filePath("a.pdf"), "%PDF-1.7 rest");
        QCOMPARE(打开文件判断文件类型("file://" + pdf), QStringLiteral("pdf"));
        // The path is taken as it is: "a.pdf " is another file than "a.pdf".
        QCOMPARE(打开文件判断文件类型(pdf + " "), QString());
        QCOMPARE(打开文件判断文件类型(Write(dir.filePath("b.pdf "), "%PDF-1.7")), QStringLiteral("pdf"));

        // A named pipe would block a reader: it is no file to look into.
        const QString fifo = dir.filePath("pipe.pdf");
        if (QProcess::execute("mkfifo", {fifo}) == 0)
            QCOMPARE(打开文件判断文件类型(fifo), QString());

        const QString locked = Write(dir.filePath("locked.pdf"), "%PDF-1.4");
        QFile::setPermissions(locked, {});
        QFile probe(locked);
        if (probe.open(QIODevice::ReadOnly)) QSKIP("running with rights that read any file");
        QCOMPARE(打开文件判断文件类型(locked), QString());
    }

    // A 4 GiB sparse file is told from its first bytes and its tail, not read whole.
    void hugeSparseFile() {
        QTemporaryDir dir;
        const qint64 size = 4LL * 1024 * 1024 * 1024;
        QFile pdf(dir.filePath("big.pdf"));
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        pdf.write("%PDF-1.5");
        if (!pdf.resize(size)) QSKIP("no room for a sparse file here");
        pdf.close();
        QFile tagged(dir.filePath("big.mp3"));
        QVERIFY(tagged.open(QIODevice::WriteOnly));
        QVERIFY(tagged.resize(size));
        QVERIFY(tagged.seek(size - 128));
        tagged.write("TAG");
        tagged.close();

        QElapsedTimer timer;
        timer.start();
        QCOMPARE(打开文件判断文件类型(pdf.fileName()), QStringLiteral("pdf"));
        QCOMPARE(打开文件判断文件类型(tagged.fileName()), QStringLiteral("mp3"));
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    }

    void correctRowType() {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        DownloadList list;
        // 0: a web page saved as pdf while paper.htm is taken; 1: PDF in upper case is right;
        // 2: placeholder type; 3: unknown content; 4: no file; 5: name ending in a space.
        Write(folder + "paper.pdf", kWebPage);
        Write(folder + "paper.htm", "keep me");
        list.AddRow("0", "paper", "pdf", folder, {});
        Write(folder + "upper.PDF", "%PDF-1.4");
        list.AddRow("1", "upper", "PDF", folder, {});
        Write(folder + "again.xxx", "%PDF-1.4");
        list.AddRow("2", "again", "xxx", folder, {});
        Write(folder + "plain.pdf", QByteArray(50, 'q'));
        list.AddRow("3", "plain", "pdf", folder, {});
        list.AddRow("4", "gone", "pdf", folder, {});
        Write(folder + "space .pdf", kWebPage);
        list.AddRow("5", "space ", "pdf", folder, {});

        const bool expected[] = {true, false, true, false, false, true};
        for (int r = 0; r < list.count(); ++r) QCOMPARE(CorrectRowType(list, r), expected[r]);

        QCOMPARE(list.text(0, ColName), QStringLiteral("paper[0001]"));
        QCOMPARE(list.text(0, ColType), QStringLiteral("htm"));
        QVERIFY(QFile::exists(folder + "paper[0001].htm"));
        QVERIFY(!QFile::exists(folder + "paper.pdf"));
        QFile kept(folder + "paper.htm");
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("keep me"));
        QCOMPARE(list.text(1, ColType), QStringLiteral("PDF"));
        QCOMPARE(list.RowFilePath(2), folder + "again.pdf");
        QVERIFY(QFile::exists(folder + "again.pdf"));
        QCOMPARE(list.text(3, ColType), QStringLiteral("pdf"));
        // The row keeps finding its file when the name ends in a space.
        QVERIFY(QFile::exists(list.RowFilePath(5)));
        // A second run changes nothing.
        for (int r = 0; r < list.count(); ++r) QVERIFY(!CorrectRowType(list, r));
    }

    void correctionStaysInsideTheRowFolder() {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("rows"));
        const QString outside = Write(dir.filePath("victim.pdf"), kWebPage);
        const QString savedCwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        DownloadList list;
        list.AddRow("a", "victim", "pdf", "", {});                      // no folder
        list.AddRow("b", "../victim", "pdf", dir.filePath("rows"), {}); // climbs out
        list.AddRow("c", "", "", dir.filePath("rows"), {});             // names the folder
        for (int r = 0; r < list.count(); ++r) QVERIFY(!CorrectRowType(list, r));
        QDir::setCurrent(savedCwd);
        QVERIFY(QFile::exists(outside));
        QVERIFY(!QFile::exists(dir.filePath("victim.htm")));
    }

    // A rename that cannot be done (a folder holds the new name) leaves the file, the folder
    // and the row as they were.
    void failedRenameChangesNothing() {
        QTemporaryDir dir;
        Write(dir.filePath("paper.pdf"), kWebPage);
        QVERIFY(QDir().mkpath(dir.filePath("paper.htm/inside")));
        DownloadList list;
        list.AddRow("k", "paper", "pdf", dir.path(), {});
        QVERIFY(!CorrectRowType(list, 0));
        QCOMPARE(list.text(0, ColName), QStringLiteral("paper"));
        QCOMPARE(list.text(0, ColType), QStringLiteral("pdf"));
        QVERIFY(QFile::exists(dir.filePath("paper.pdf")));
        QVERIFY(QDir(dir.filePath("paper.htm/inside")).exists());
    }

    // The numbering of a taken name works on the first 100 characters of a long name.
    void longNameIsShortenedWhenTaken() {
        QTemporaryDir dir;
        const QString name(251, u'n'); // 251 + ".pdf" is the longest name the system allows
        Write(dir.filePath(name + ".pdf"), kWebPage);
        Write(dir.filePath(name + ".htm"), "taken");
        DownloadList list;
        list.AddRow("k", name, "pdf", dir.path(), {});
        QVERIFY(CorrectRowType(list, 0));
        QCOMPARE(list.text(0, ColName), QString(100, u'n'));
        QVERIFY(QFile::exists(list.RowFilePath(0)));
    }

    void correctionCommand() {
        TestContext t;
        QTemporaryDir dir;
        DownloadList list;
        DownloadWindowState state;
        检查并纠正磁盘文件类型(list, state, t.dialogs);
        QVERIFY(t.dialogs.messages.isEmpty()); // an empty list shows nothing

        for (const char* n : {"a", "b", "c"}) {
            Write(dir.filePath(QString(n) + ".pdf"), kWebPage);
            list.AddRow(n, n, "pdf", dir.path(), {});
        }
        Write(dir.filePath("d.pdf"), "%PDF");
        list.AddRow("d", "d", "pdf", dir.path(), {});

        state.schedulerTimer()->start();
        检查并纠正磁盘文件类型(list, state, t.dialogs);
        QCOMPARE(t.dialogs.messageTexts(), QStringList{kBusyGuardMessage});
        QCOMPARE(t.dialogs.messages.last().icon, MessageIcon::Information);
        QCOMPARE(list.text(0, ColType), QStringLiteral("pdf"));
        state.schedulerTimer()->stop();

        int instances = 1;
        state.parallelInstanceCount = [&] { return instances; };
        检查并纠正磁盘文件类型(list, state, t.dialogs);
        QCOMPARE(t.dialogs.messages.size(), 2);
        instances = 0;

        检查并纠正磁盘文件类型(list, state, t.dialogs);
        QCOMPARE(t.dialogs.messages.last().text, QStringLiteral("纠正文件类型：3个."));
        QCOMPARE(t.dialogs.messages.last().icon, MessageIcon::Information);
    }

    void openFileCommand() {
        TestContext t;
        QTemporaryDir dir;
        打开文件判断类型(t.dialogs); // cancelled
        QVERIFY(t.dialogs.messages.isEmpty());
        t.dialogs.fileAnswers = {Write(dir.filePath("x.dat"), "%PDF-1.4"),
                                 Write(dir.filePath("y.dat"), "nothing to see here")};
        打开文件判断类型(t.dialogs);
        打开文件判断类型(t.dialogs);
        QCOMPARE(t.dialogs.messageTexts(), (QStringList{QStringLiteral("文件类型为：pdf"),
                                                        QStringLiteral("目前还无法判断。")}));
    }

    void existenceCheck() {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("gone"));
        Write(dir.filePath("here.pdf"), "%PDF");
        DownloadList list;
        list.AddRow("1", "here", "pdf", dir.path() + "/", {});
        list.AddRow("2", "x", "pdf", dir.filePath("gone") + "/", {});
        list.AddRow("3", "x", "pdf", "", {});
        list.setStatus(0, RowStatus::Completed);
        list.setText(0, ColPercent, "100%");
        list.setStatus(1, RowStatus::Completed);
        QDir(dir.filePath("gone")).removeRecursively();
        检查文件是否存在(list);
        QCOMPARE(list.text(0, ColPercent), QStringLiteral("100%"));
        QCOMPARE(list.text(1, ColPercent), QStringLiteral("不存在"));
        QCOMPARE(list.status(1), RowStatus::Completed);
        QCOMPARE(list.text(2, ColPercent), QStringLiteral("不存在"));
    }
};

PELDORA_TEST_MAIN(FileTypeCheckTest)
#include "tst_filetypecheck.moc"
