#include "app/SettingsStore.h"
#include "app/WindowPlacement.h"
#include "support/TestContext.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace peldora;

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void missingKeysGiveDefaults() {
        QTemporaryDir dir;
        SettingsStore store(dir.path() + "/none/Peldora.ini");
        QCOMPARE(store.ReadSetting(keys::kSettings, keys::kMaxFileSize, "10"), QStringLiteral("10"));
        QCOMPARE(store.ReadSetting(keys::kSettings, keys::kDownloadMethod, 2), QStringLiteral("2"));
        QCOMPARE(store.ReadSetting(keys::kSearchWindow, keys::kLastPage, ""), QString());
    }

    // Values written by one store are read by the next (a later run), unchanged as text, and the
    // file is written at once.
    void roundTrip_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("fraction") << keys::kSettings << keys::kMaxFileSize << QVariant(NumberText(12.5)) << "12.5";
        QTest::newRow("whole") << keys::kSettings << keys::kMaxFileSize << QVariant(NumberText(10)) << "10";
        QTest::newRow("integer") << keys::kDownload << keys::kThreads << QVariant(3) << "3";
        QTest::newRow("path with separators") << keys::kSettings << keys::kSaveFolder
                                              << QVariant("/home/u/论文/") << "/home/u/论文/";
        QTest::newRow("address") << keys::kSearchWindow << keys::kLastPage
                                 << QVariant("https://h/a?b=1&c=%20") << "https://h/a?b=1&c=%20";
        QTest::newRow("policy word") << keys::kPatentDownload << keys::kSameNamePolicy << QVariant("覆盖") << "覆盖";
        QTest::newRow("key with slash") << "a/b" << "c\\d" << QVariant("x") << "x";
        QTest::newRow("empty text") << keys::kSettings << keys::kProxyAddress << QVariant("") << "";
    }
    void roundTrip() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.path() + "/Peldora.ini";
        {
            SettingsStore store(path);
            store.WriteSetting(section, key, value);
            QVERIFY(QFile::exists(path));
            SettingsStore other(path); // written through, visible to a second reader at once
            QCOMPARE(other.ReadSetting(section, key, "default"), text);
        }
        SettingsStore again(path);
        QCOMPARE(again.ReadSetting(section, key, "default"), text);
        QCOMPARE(again.ReadSetting(section, key + "x", "default"), QStringLiteral("default"));
    }

    void unreadableFilesGiveDefaultsAndStayUsable_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\x00\xff\xfe[[[=\n\x01=\x02\n[", 14);
        QTest::newRow("text") << QByteArray("just some words\nwithout any structure\n");
    }
    void unreadableFilesGiveDefaultsAndStayUsable() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.path() + "/Peldora.ini";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        SettingsStore store(path);
        QCOMPARE(store.ReadSetting(keys::kSettings, keys::kMaxFileSize, "10"), QStringLiteral("10"));
        store.WriteSetting(keys::kSettings, keys::kMaxFileSize, "20");
        QCOMPARE(SettingsStore(path).ReadSetting(keys::kSettings, keys::kMaxFileSize, "10"),
                 QStringLiteral("20"));
    }

    void screenDescription() {
        QCOMPARE(ScreenDescription(28800, 16200), QStringLiteral("1920*1080"));
        QCOMPARE(ScreenDescription(20487, 12000), QStringLiteral("1366*800"));
    }

    void placementRules() {
        QTemporaryDir dir;
        SettingsStore store(dir.path() + "/p.ini");
        const QString win = QStringLiteral("fFileDownload");
        const QString screen = QStringLiteral("1920*1080");
        // Never saved: maximized.
        QVERIFY(RestoreWindowPlacement(store, win, screen).maximized);

        SaveWindowPlacement(store, win, {false, 300, 450, 12000, 9000}, screen);
        WindowGeometry g = RestoreWindowPlacement(store, win, screen);
        QVERIFY(!g.maximized);
        QCOMPARE(g.top, 300L);
        QCOMPARE(g.left, 450L);
        QCOMPARE(g.width, 12000L);
        QCOMPARE(g.height, 9000L);

        // Another screen size: maximized, whatever is stored.
        QVERIFY(RestoreWindowPlacement(store, win, QStringLiteral("1280*1024")).maximized);

        // Closed maximized: only the screen entry changes.
        SaveWindowPlacement(store, win, {true, 1, 2, 3, 4}, screen);
        QCOMPARE(store.ReadSetting(win, keys::kResolution, ""), QStringLiteral("0*0"));
        QCOMPARE(store.ReadSetting(win, keys::kTop, ""), QStringLiteral("300"));
        QVERIFY(RestoreWindowPlacement(store, win, screen).maximized);
    }

    void placementClamps() {
        QTemporaryDir dir;
        SettingsStore store(dir.path() + "/p.ini");
        const QString win = QStringLiteral("w");
        store.WriteSetting(win, keys::kResolution, "800*600");
        store.WriteSetting(win, keys::kTop, "-500");
        store.WriteSetting(win, keys::kLeft, "abc");
        store.WriteSetting(win, keys::kWidth, "100");
        store.WriteSetting(win, keys::kHeight, "2999");
        const WindowGeometry g = RestoreWindowPlacement(store, win, "800*600");
        QVERIFY(!g.maximized);
        QCOMPARE(g.top, 0L);
        QCOMPARE(g.left, 100L); // not a number: its default
        QCOMPARE(g.width, 4000L);
        QCOMPARE(g.height, 3000L);
    }
};

PELDORA_TEST_MAIN(SettingsTest)
#include "tst_settings.moc"
