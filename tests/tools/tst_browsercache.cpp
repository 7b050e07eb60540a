// The cache viewer's logic on folders built by the test: the type of an address, the walkers,
// every user's cache, what the deletions keep, links that must not be followed, size sorting.
#include "support/TestContext.h"
#include "tools/BrowserCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

void Write(const QString& path, const QByteArray& bytes = "x") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QString kSuffix = QStringLiteral("/.cache/Peldora/Cache/Cache_Data");

} // namespace

class BrowserCacheTest : public QObject {
    Q_OBJECT
private slots:
    void typeFromAddress_data();
    void typeFromAddress();
    void layoutFromHomeFolder();
    void allUsersListingAndDeletion();
    void linksAreNeitherFollowedNorDeletedThrough();
    void sizeColumnSortsByValue();
};

void BrowserCacheTest::typeFromAddress_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("type");
    QTest::newRow("query and fragment") << "http://h/a/file.PDF?x=1#top" << "PDF";
    QTest::newRow("folder") << "http://h/a/" << "";
    QTest::newRow("too long") << "http://h/x.verylongext" << "";
    QTest::newRow("embedded address") << "http://h/go?u=http://other/f.pdf" << "";
    QTest::newRow("path") << "/home/u/.cache/a.txt" << "txt";
    QTest::newRow("no dot") << "http://h/abcdef_0" << "";
    QTest::newRow("equals sign") << "http://h/v.js=3" << "js";
}

void BrowserCacheTest::typeFromAddress() {
    QFETCH(QString, address);
    QTEST(TypeFromAddress(address), "type");
}

void BrowserCacheTest::layoutFromHomeFolder() {
    const CacheLayout l = MakeCacheLayout(QStringLiteral("/home/ann") + kSuffix,
                                          QStringLiteral("/home/ann"));
    QCOMPARE(l.profilesRoot, QStringLiteral("/home/"));
    QCOMPARE(l.suffix, kSuffix);
    // A cache outside the home folder: no other users are looked for.
    QVERIFY(MakeCacheLayout(QStringLiteral("/var/cache/x"), QStringLiteral("/home/ann"))
                .profilesRoot.isEmpty());
    QVERIFY(MakeCacheLayout(QStringLiteral("/home/annex/c"), QStringLiteral("/home/ann"))
                .profilesRoot.isEmpty());
}

void BrowserCacheTest::allUsersListingAndDeletion() {
    TestContext t;
    const QString homes = t.dir() + QStringLiteral("/homes/");
    Write(homes + QStringLiteral("ann") + kSuffix + QStringLiteral("/aa_0"), "12345");
    Write(homes + QStringLiteral("ann") + kSuffix + QStringLiteral("/index-dir/the-real-index"));
    Write(homes + QStringLiteral("ann") + kSuffix + QStringLiteral("/cookies.txt"), "keep");
    Write(homes + QStringLiteral("bob") + kSuffix + QStringLiteral("/deep/er/bb.pdf"), "pdf");
    QDir().mkpath(homes + QStringLiteral("carl/no-cache"));
    Write(homes + QStringLiteral("ann/private.doc"), "not cache");
    BrowserCacheViewer viewer(t.ctx(), MakeCacheLayout(homes + QStringLiteral("ann") + kSuffix,
                                                       homes + QStringLiteral("ann")));
    viewer.listAllUsers();
    QCOMPARE(viewer.viewMark(), kAllCachesMark);
    QCOMPARE(viewer.userFolders().size(), 2);
    QCOMPARE(viewer.userFolders().at(0).first, QStringLiteral("ann"));
    QCOMPARE(viewer.userFolders().at(1).second, homes + QStringLiteral("bob") + kSuffix);
    QCOMPARE(viewer.list().rows().size(), 4);
    QCOMPARE(viewer.label1(), QStringLiteral("共有4 个文件"));
    QStringList texts;
    for (const CacheRow& r : viewer.list().rows()) texts << r.text;
    QCOMPARE(texts.count(QStringLiteral("用户:ann")), 3);
    // Parents come before their children, so removing them backwards empties from below.
    QCOMPARE(viewer.cacheSubfolders(),
             (QStringList{homes + "ann" + kSuffix + "/index-dir", homes + "bob" + kSuffix + "/deep",
                          homes + "bob" + kSuffix + "/deep/er"}));

    // A read-only file goes too; cookie text files stay, and so does everything outside.
    QFile::setPermissions(homes + QStringLiteral("bob") + kSuffix + QStringLiteral("/deep/er/bb.pdf"),
                          QFileDevice::ReadOwner);
    viewer.deleteAll();
    QCOMPARE(viewer.list().rows().size(), 1);
    QCOMPARE(viewer.list().rows().first().filePath,
             homes + QStringLiteral("ann") + kSuffix + QStringLiteral("/cookies.txt"));
    QVERIFY(!QFileInfo::exists(homes + QStringLiteral("bob") + kSuffix + QStringLiteral("/deep")));
    QVERIFY(QFileInfo::exists(homes + QStringLiteral("bob") + kSuffix));
    QVERIFY(QFileInfo::exists(homes + QStringLiteral("ann/private.doc")));
}

void BrowserCacheTest::linksAreNeitherFollowedNorDeletedThrough() {
    TestContext t;
    const QString home = t.dir() + QStringLiteral("/homes/ann");
    const QString cache = home + kSuffix;
    const QString outside = t.dir() + QStringLiteral("/precious");
    Write(outside + QStringLiteral("/thesis.pdf"), "years of work");
    Write(cache + QStringLiteral("/aa_0"), "entry");
    QVERIFY(QFile::link(outside, cache + QStringLiteral("/linked-folder")));
    QVERIFY(QFile::link(outside + QStringLiteral("/thesis.pdf"), cache + QStringLiteral("/linked_0")));
    QFile::setPermissions(outside + QStringLiteral("/thesis.pdf"), QFileDevice::ReadOwner);

    QStringList files;
    ListFiles(cache, files, true);
    QCOMPARE(files, QStringList{cache + QStringLiteral("/aa_0")});

    BrowserCacheViewer viewer(t.ctx(), MakeCacheLayout(cache, home));
    viewer.listAllUsers();
    viewer.deleteAll();
    viewer.GetCacheURLList();
    viewer.deleteAll();
    // A row that names a file outside the cache (a stale or forged path) is not deleted either.
    强制删除(cache + QStringLiteral("/linked_0"));
    QVERIFY(QFileInfo::exists(outside + QStringLiteral("/thesis.pdf")));
    QCOMPARE(QFile::permissions(outside + QStringLiteral("/thesis.pdf")) & QFileDevice::WriteOwner,
             QFileDevice::Permissions());
    QVERIFY(!QFileInfo::exists(cache + QStringLiteral("/aa_0")));
    QVERIFY(!QFileInfo(cache + QStringLiteral("/linked_0")).isSymLink()); // the link itself went

    // Walks: a root skips RECYCLER, another folder does not.
    Write(t.dir() + QStringLiteral("/w/RECYCLER/x"));
    QStringList folders;
    ListFolders(t.dir() + QStringLiteral("/w"), folders, false);
    QCOMPARE(folders, QStringList{t.dir() + QStringLiteral("/w/RECYCLER")});
    folders.clear();
    ListFolders(QStringLiteral("relative/path"), folders, true);
    QVERIFY(folders.isEmpty());
}

void BrowserCacheTest::sizeColumnSortsByValue() {
    CacheListModel model;
    model.setRows({{QStringLiteral("b"), {}, 9, {}},
                   {QStringLiteral("a"), {}, 100, {}},
                   {QStringLiteral("c"), {}, 20, {}}});
    const auto sizes = [&] {
        QList<qint64> s;
        for (const CacheRow& r : model.rows()) s << r.size;
        return s;
    };
    model.sortByColumn(3);
    QCOMPARE(sizes(), (QList<qint64>{9, 20, 100}));
    model.sortByColumn(3);
    QCOMPARE(sizes(), (QList<qint64>{100, 20, 9}));
    model.sortByColumn(1); // the order flips whichever column is clicked
    QCOMPARE(model.rows().first().text, QStringLiteral("a"));
    QCOMPARE(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("SIZE(Byte)"));
}

PELDORA_TEST_MAIN(BrowserCacheTest)
#include "tst_browsercache.moc"
