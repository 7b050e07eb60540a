#include "search/SearchList.h"
#include "support/TestContext.h"

#include <QtTest>

using namespace peldora;

class SearchListTest : public QObject {
    Q_OBJECT
private slots:
    void englishTitleTest_data();
    void englishTitleTest();
    void acceptedSetIsExactlyNinetySixCharacters();
    void languageFilter_data();
    void languageFilter();
    void duplicateKeepsFirstHarvest();
    void counterCountsRowsNotOffers();
    void removalKeepsOrderAndKeyIndex();
    void rowsAreNotEditable();
};

void SearchListTest::englishTitleTest_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("english");
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("letters digits punctuation")
        << QStringLiteral("Protein folding (2019). Part 2: \"why\"?") << true;
    QTest::newRow("capitals") << QStringLiteral("DNA REPAIR") << true;
    QTest::newRow("en dash") << QString::fromUtf16(u"Pages 10–20") << true;
    QTest::newRow("em dash and signs") << QString::fromUtf16(u"a—b ∑ ‰ ＄ ∈ ∩ ˉ －") << true;
    QTest::newRow("greek small") << QString::fromUtf16(u"α-helix and β-sheet, ω") << true;
    QTest::newRow("greek capital") << QString::fromUtf16(u"Δ mutant") << true;
    QTest::newRow("all ascii punctuation")
        << QStringLiteral(" ,.?'\"/\\;:[]-=+!@#%*()_~<>&") << true;
    QTest::newRow("final sigma") << QString::fromUtf16(u"ς") << false;
    QTest::newRow("e acute") << QString::fromUtf16(u"Caf\u00e9 study") << false;
    QTest::newRow("right single quote") << QString::fromUtf16(u"Darwin\u2019s finches") << false;
    QTest::newRow("dollar") << QStringLiteral("Cost in $") << false;
    QTest::newRow("braces") << QStringLiteral("{set}") << false;
    QTest::newRow("pipe") << QStringLiteral("a|b") << false;
    QTest::newRow("tab") << QStringLiteral("a\tb") << false;
    QTest::newRow("no-break space") << QString::fromUtf16(u"a\u00a0b") << false;
    QTest::newRow("full-width letter") << QString::fromUtf16(u"\uff21BC") << false;
    QTest::newRow("kanji") << QString::fromUtf16(u"Study of 日本") << false;
    QTest::newRow("kana") << QString::fromUtf16(u"タンパク質") << false;
    QTest::newRow("chinese") << QString::fromUtf16(u"蛋白质") << false;
    QTest::newRow("emoji surrogates") << QString::fromUtf16(u"cell \U0001F9EC") << false;
}

void SearchListTest::englishTitleTest() {
    QFETCH(QString, title);
    QFETCH(bool, english);
    QCOMPARE(判断标题字符是为英文字母组合(title), english);
}

// Characters that are their own lower case pass exactly when they are in the set.
void SearchListTest::acceptedSetIsExactlyNinetySixCharacters() {
    int count = 0;
    for (int u = 0; u <= 0xFFFF; ++u) {
        const QChar c{char16_t(u)};
        if (c.isSurrogate() || c.toLower() != c) continue;
        if (判断标题字符是为英文字母组合(QString(c))) ++count;
    }
    QCOMPARE(count, 96);
}

void SearchListTest::languageFilter_data() {
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("added");
    const QString ascii = QStringLiteral("Plain English title");
    const QString kanji = QString::fromUtf16(u"Effect of 酵素");
    QTest::newRow("all/english") << 0 << ascii << true;
    QTest::newRow("all/japanese") << 0 << kanji << true;
    QTest::newRow("english/english") << 1 << ascii << true;
    QTest::newRow("english/japanese") << 1 << kanji << false;
    QTest::newRow("english/accent") << 1 << QString::fromUtf16(u"na\u00efve") << false;
    QTest::newRow("japanese/english") << 2 << ascii << false;
    QTest::newRow("japanese/japanese") << 2 << kanji << true;
    QTest::newRow("nothing selected") << -1 << kanji << true;
}

void SearchListTest::languageFilter() {
    QFETCH(int, filter);
    QFETCH(QString, title);
    QFETCH(bool, added);
    SearchList list;
    list.setLanguageFilter(filter);
    QCOMPARE(list.加入LV1(title, QStringLiteral("https://x/a.pdf"), QStringLiteral("https://x/p"),
                          QStringLiteral("pdf"), {}, QStringLiteral("ss-en")),
             added);
    QCOMPARE(list.size(), added ? 1 : 0);
}

void SearchListTest::duplicateKeepsFirstHarvest() {
    SearchList list;
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
    QVERIFY(list.加入LV1(QStringLiteral("First"), QStringLiteral("https://x/a.pdf"),
                         QStringLiteral("https://x/page1"), QStringLiteral("pdf"),
                         QStringLiteral("/home/u/one/"), QStringLiteral("ss-en")));
    list.setStatus(0, QStringLiteral("分析完成"));
    QVERIFY(!list.加入LV1(QStringLiteral("Second"), QStringLiteral("https://x/a.pdf"),
                          QStringLiteral("https://x/page2"), QStringLiteral("pdf"),
                          QStringLiteral("/home/u/two/"), QStringLiteral("ss-en")));
    // Keys are compared exactly: another letter case is another article.
    QVERIFY(list.加入LV1(QStringLiteral("Third"), QStringLiteral("https://x/A.pdf"), {},
                         QStringLiteral("pdf"), {}, QStringLiteral("ss-en")));
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(list.size(), 2);
    const SearchListRow& r = list.row(0);
    QCOMPARE(r.title, QStringLiteral("First"));
    QCOMPARE(r.saveFolder, QStringLiteral("/home/u/one/"));
    QCOMPARE(r.tag, QStringLiteral("https://x/page1"));
    QCOMPARE(r.status, QStringLiteral("分析完成"));
    QCOMPARE(r.type, QStringLiteral("pdf"));
    QCOMPARE(r.marker, QStringLiteral("ss-en"));
    QCOMPARE(list.data(list.index(0, SearchList::FolderColumn)).toString(), r.saveFolder);
    QCOMPARE(list.data(list.index(0, SearchList::MarkerColumn)).toString(), r.marker);
}

void SearchListTest::counterCountsRowsNotOffers() {
    SearchList list;
    QCOMPARE(list.counterText(), QStringLiteral("0"));
    list.setLanguageFilter(1);
    const auto offer = [&](const QString& title, const QString& key) {
        list.加入LV1(title, key, {}, QStringLiteral("pdf"), {}, QStringLiteral("ss-en"));
    };
    offer(QStringLiteral("A"), QStringLiteral("k1"));
    offer(QStringLiteral("A again"), QStringLiteral("k1"));
    offer(QString::fromUtf16(u"日本語"), QStringLiteral("k2"));
    offer(QStringLiteral("B"), QStringLiteral("k3"));
    QCOMPARE(list.counterText(), QStringLiteral("2"));
    QStringList headers;
    for (int c = 0; c < list.columnCount(); ++c)
        headers << list.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList{QStringLiteral("标题"), QStringLiteral("类型"),
                                   QStringLiteral("分析状态"), QStringLiteral("保存路径"),
                                   QStringLiteral("TYPE")}));
}

void SearchListTest::removalKeepsOrderAndKeyIndex() {
    SearchList list;
    for (int i = 1; i <= 6; ++i)
        list.加入LV1(QStringLiteral("T%1").arg(i), QStringLiteral("k%1").arg(i), {},
                     QStringLiteral("pdf"), {}, QStringLiteral("ss-en"));
    list.removeRowsAt({4, 1, 2, 2});
    QStringList titles;
    for (const SearchListRow& r : list.rows()) titles << r.title;
    QCOMPARE(titles,
             (QStringList{QStringLiteral("T1"), QStringLiteral("T4"), QStringLiteral("T6")}));
    QCOMPARE(list.indexOfKey(QStringLiteral("k6")), 2);
    QCOMPARE(list.indexOfKey(QStringLiteral("k2")), -1);
    // A removed article can be harvested again; a kept one is still a duplicate.
    QVERIFY(list.加入LV1(QStringLiteral("T2"), QStringLiteral("k2"), {}, {}, {}, {}));
    QVERIFY(!list.加入LV1(QStringLiteral("T4"), QStringLiteral("k4"), {}, {}, {}, {}));
    list.clear();
    QCOMPARE(list.counterText(), QStringLiteral("0"));
    QVERIFY(list.加入LV1(QStringLiteral("T4"), QStringLiteral("k4"), {}, {}, {}, {}));
}

void SearchListTest::rowsAreNotEditable() {
    SearchList list;
    list.加入LV1(QStringLiteral("T"), QStringLiteral("k"), {}, {}, {}, {});
    QVERIFY(!(list.flags(list.index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(!list.setData(list.index(0, 0), QStringLiteral("edited")));
}

PELDORA_TEST_MAIN(SearchListTest)
#include "tst_searchlist.moc"
