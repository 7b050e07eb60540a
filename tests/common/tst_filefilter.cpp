#include "common/FileFilter.h"
#include "support/TestContext.h"

#include <QtTest>

using namespace peldora;

class FileFilterTest : public QObject {
    Q_OBJECT
private slots:
    void toQtForm_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qt");
        QTest::newRow("one pair") << "文本文件|*.txt" << "文本文件 (*.txt)";
        QTest::newRow("pattern list") << "网页|*.htm;*.html" << "网页 (*.htm *.html)";
        QTest::newRow("spaces around patterns") << " 网页 | *.htm ; *.html ;" << "网页 (*.htm *.html)";
        QTest::newRow("all files") << "*.*|*.*" << "*.* (*)";
        QTest::newRow("all files inside a list") << "文档|*.pdf;*.*" << "文档 (*.pdf *)";
        QTest::newRow("two pairs")
            << "网页|*.htm;*.html|全部|*.*" << "网页 (*.htm *.html);;全部 (*)";
        QTest::newRow("empty text") << "" << "";
        QTest::newRow("only separators") << "||" << "";
        QTest::newRow("one part is a pattern list") << "*.htm;*.html" << "*.htm *.html";
        QTest::newRow("odd: last part without partner")
            << "文本|*.txt|*.*" << "文本 (*.txt);;*";
        QTest::newRow("odd: trailing separator") << "文本|*.txt|" << "文本 (*.txt)";
        QTest::newRow("pair without patterns dropped") << "文本||全部|*.*" << "全部 (*)";
        QTest::newRow("pair without description") << "|*.txt|全部|*.*" << "*.txt;;全部 (*)";
        // A caller passing Qt's form keeps a working filter.
        QTest::newRow("Qt form given") << "*.htm (*.htm)" << "*.htm (*.htm)";
        QTest::newRow("Qt form with a list")
            << "*.htm;*.html (*.htm *.html)" << "*.htm *.html (*.htm *.html)";
    }
    void toQtForm() {
        QFETCH(QString, filter);
        QFETCH(QString, qt);
        QCOMPARE(QtFileFilter(filter), qt);
    }
};

PELDORA_TEST_MAIN(FileFilterTest)
#include "tst_filefilter.moc"
