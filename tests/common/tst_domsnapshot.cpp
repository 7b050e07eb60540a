#include "common/DomSnapshot.h"
#include "support/TestContext.h"

#include <QtTest>

using namespace peldora;

namespace {
// Rows as the page script sends them, with only tag and parent set.
QByteArray Page(const QList<QPair<QString, int>>& rows) {
    QByteArray json = R"({"url":"u","html":true,"elements":[)";
    for (qsizetype i = 0; i < rows.size(); ++i)
        json += QStringLiteral(R"(%1["%2","","","","","","","",%3])")
                    .arg(QLatin1String(i ? "," : ""), rows.at(i).first)
                    .arg(rows.at(i).second)
                    .toUtf8();
    return json + "]}";
}

QList<int> Ends(const DomSnapshot& s) {
    QList<int> out;
    for (const DomElement& e : s.elements) out << e.end;
    return out;
}
QList<int> Parents(const DomSnapshot& s) {
    QList<int> out;
    for (const DomElement& e : s.elements) out << e.parent;
    return out;
}
} // namespace

class DomSnapshotTest : public QObject {
    Q_OBJECT
private slots:
    // Descendants are the run after an element; parents that cannot hold the element where it
    // stands (closed already, later, missing) make it a root, so the runs always nest.
    void descendantRuns_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QList<int>>("parents");
        QTest::addColumn<QList<int>>("ends");
        QTest::newRow("tree") << Page({{"div", -1}, {"li", 0}, {"a", 1}, {"li", 0}, {"p", -1}})
                              << QList<int>{-1, 0, 1, 0, -1} << QList<int>{4, 3, 3, 4, 5};
        QTest::newRow("parent closed already")
            << Page({{"div", -1}, {"li", 0}, {"a", 0}, {"b", 1}})
            << QList<int>{-1, 0, 0, -1} << QList<int>{3, 2, 3, 4};
        QTest::newRow("parent later or out of range")
            << Page({{"div", 2}, {"li", 0}, {"a", 9}, {"b", -7}})
            << QList<int>{-1, 0, -1, -1} << QList<int>{2, 2, 3, 4};
    }
    void descendantRuns() {
        QFETCH(QByteArray, json);
        QFETCH(QList<int>, parents);
        QFETCH(QList<int>, ends);
        const DomSnapshot s = DomSnapshot::FromJson(json);
        QCOMPARE(Parents(s), parents);
        QCOMPARE(Ends(s), ends);
        QCOMPARE(DomSnapshot::FromJson(s.toJson()).toJson(), s.toJson());
    }

    void getElementsByTagName() {
        const DomSnapshot s =
            DomSnapshot::FromJson(Page({{"div", -1}, {"A", 0}, {"li", 0}, {"a", 2}, {"a", -1}}));
        QCOMPARE(s.getElementsByTagName("a", 0), (QList<int>{1, 3}));
        QCOMPARE(s.getElementsByTagName("A"), (QList<int>{1, 3, 4}));
        QCOMPARE(s.getElementsByTagName("a", 3), QList<int>());
        QCOMPARE(s.getElementsByTagName("a", 99), QList<int>());
    }
};

PELDORA_TEST_MAIN(DomSnapshotTest)
#include "tst_domsnapshot.moc"
