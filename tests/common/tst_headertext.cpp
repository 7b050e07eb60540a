#include "common/HeaderText.h"
#include "support/TestContext.h"

#include <QtTest>

using namespace peldora;

class HeaderTextTest : public QObject {
    Q_OBJECT
private slots:
    void contentDisposition_data() {
        QTest::addColumn<QString>("block");
        QTest::addColumn<QString>("value");
        QTest::newRow("found, trimmed") << "HTTP/1.1 200 OK\r\nContent-Type: a/b\r\n"
                                           "Content-Disposition:   attachment; filename=a.pdf  \r\n"
                                        << "attachment; filename=a.pdf";
        QTest::newRow("any case") << "HTTP/1.1 200 OK\r\nCONTENT-DISPOSITION: inline\r\n" << "inline";
        QTest::newRow("leading spaces on the line") << "x\r\n  content-disposition:x" << "x";
        QTest::newRow("first line wins") << "content-disposition: a\r\ncontent-disposition: b" << "a";
        QTest::newRow("longer header name") << "Content-Dispositions: a\r\n" << "";
        QTest::newRow("space before colon") << "Content-Disposition : a\r\n" << "";
        QTest::newRow("LF only is one line") << "HTTP/1.1 200\nContent-Disposition: a" << "";
        QTest::newRow("none") << "HTTP/1.1 200 OK\r\n\r\n" << "";
        QTest::newRow("empty") << "" << "";
    }
    void contentDisposition() {
        QFETCH(QString, block);
        QFETCH(QString, value);
        QCOMPARE(从网络文件Header获取ContentDisposition(block), value);
    }

    void extension_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("ext");
        QTest::newRow("case kept") << "attachment; filename=report.PDF" << "PDF";
        QTest::newRow("last dot") << "attachment; filename=data.tar.gz" << "gz";
        QTest::newRow("cut at non-letter") << "filename=a.pdf1" << "pdf";
        QTest::newRow("eleven letters") << "filename=a.abcdefghijk" << "";
        QTest::newRow("five letters") << "filename=a.abcde" << "abcde";
        QTest::newRow("no dot") << "filename=report" << "";
        QTest::newRow("quoted, parameter after") << "attachment; filename=\"my.paper.pdf\"; size=10"
                                                 << "pdf";
        QTest::newRow("single quotes") << "filename='x.doc'" << "doc";
        QTest::newRow("name key any case") << "FileName=x.Txt" << "Txt";
        QTest::newRow("extended form only") << "attachment; filename*=UTF-8''a.pdf" << "";
        QTest::newRow("no filename") << "inline" << "";
        QTest::newRow("dot inside later parameter only") << "filename=abc; x=y.pdf" << "";
        QTest::newRow("tab and CR removed") << "filename=a.p\tdf\r\n" << "pdf";
    }
    void extension() {
        QFETCH(QString, value);
        QFETCH(QString, ext);
        QCOMPARE(从下载头信息ContentDisposition获取文件名(value), ext);
    }

    void cleanHeaderText() {
        QCOMPARE(CleanHeaderText(QStringLiteral("  a\r\nb\tc\rd\ne") + QChar(0) + "f  "),
                 QStringLiteral("abcdef"));
        QCOMPARE(CleanHeaderText(QStringLiteral("\u00a0x\u00a0")), QStringLiteral("\u00a0x\u00a0"));
    }

    void leftBytes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QString>("result");
        QTest::newRow("short ascii unchanged") << QString(199, u'a') << 200 << QString(199, u'a');
        QTest::newRow("ascii cut") << QString(250, u'a') << 200 << QString(200, u'a');
        // A CJK character takes three bytes here: 66 of them fit into 200 bytes.
        QTest::newRow("cjk cut on a character") << QString(150, u'中') << 200 << QString(66, u'中');
        QTest::newRow("mixed never splits") << "a" + QString(10, u'中') << 5 << QStringLiteral("a中");
        QTest::newRow("pair kept whole") << QStringLiteral("ab😀") << 5 << QStringLiteral("ab");
        QTest::newRow("zero") << "abc" << 0 << "";
        // The text itself is cut, never re-encoded: nothing in it is replaced or dropped.
        QTest::newRow("lone surrogate kept")
            << QStringLiteral("a") + QChar(0xD800) << 200 << QStringLiteral("a") + QChar(0xD800);
        QTest::newRow("leading BOM kept") << QChar(0xFEFF) + QStringLiteral("ab") << 200
                                          << QChar(0xFEFF) + QStringLiteral("ab");
    }
    void leftBytes() {
        QFETCH(QString, text);
        QFETCH(int, bytes);
        QFETCH(QString, result);
        QCOMPARE(LeftBytesAnsi(text, bytes), result);
        QVERIFY(LeftBytesAnsi(text, bytes).toUtf8().size() <= bytes);
    }

    void urlRoot_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("root");
        QTest::newRow("path") << "https://www.jstage.jst.go.jp/article/x/_pdf" << "https://www.jstage.jst.go.jp";
        QTest::newRow("port kept") << "http://127.0.0.1:8080/a/b" << "http://127.0.0.1:8080";
        QTest::newRow("no path") << "http://host" << "http://host";
        QTest::newRow("empty host") << "http:///x" << "http:///x";
        QTest::newRow("no scheme, slash at 4") << "abc/def" << "abc";
        QTest::newRow("no scheme, slash at 3") << "ab/cd" << "ab/cd";
        QTest::newRow("empty") << "" << "";
    }
    void urlRoot() {
        QFETCH(QString, address);
        QFETCH(QString, root);
        QCOMPARE(GetUrlRoot(address), root);
    }

    // Arbitrary text never crashes or hangs any of the helpers.
    void badInput() {
        QString big(100000, u'x');
        big[500] = QChar(0);
        big[501] = QChar(0xD800); // unpaired surrogate
        big[70000] = u'\r';
        const QString texts[] = {QString(), big, QString(QChar(0xDC00)), QStringLiteral("\x01\x02\x7f")};
        for (const QString& t : texts) {
            从网络文件Header获取ContentDisposition(t);
            从下载头信息ContentDisposition获取文件名(t);
            CleanHeaderText(t);
            QVERIFY(LeftBytesAnsi(t, 200).toUtf8().size() <= 200);
            GetUrlRoot(t);
        }
    }
};

PELDORA_TEST_MAIN(HeaderTextTest)
#include "tst_headertext.moc"
