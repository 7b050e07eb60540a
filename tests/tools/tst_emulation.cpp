#include "platform/SystemFacts.h"
#include "support/TestContext.h"
#include "tools/BrowserEmulation.h"
#include "tools/Registry.h"
#include "tools/WindowsDescription.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace peldora;

namespace {
const QString kValue = QStringLiteral("peldora.exe");

struct Fixture {
    QTemporaryDir dir;
    Registry registry{dir.path() + "/r.json", QStringLiteral("64")};
    Fixture() {
        registry.ensureKey(kEmulationKey, "32");
        registry.ensureKey(kEmulationKey, "64");
    }
};
} // namespace

class EmulationTest : public QObject {
    Q_OBJECT
private slots:
    void levelTable_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("number");
        QTest::newRow("IE11/1") << "IE11" << 1 << 11000;
        QTest::newRow("IE11/2") << "IE11" << 2 << 11001;
        QTest::newRow("IE10/1") << "IE10" << 1 << 10000;
        QTest::newRow("IE10/2") << "IE10" << 2 << 10001;
        QTest::newRow("IE9/1") << "IE9" << 1 << 9000;
        QTest::newRow("IE9/2") << "IE9" << 2 << 9999;
        QTest::newRow("IE8/1") << "IE8" << 1 << 8000;
        QTest::newRow("IE8/2") << "IE8" << 2 << 8888;
        QTest::newRow("IE7/1") << "IE7" << 1 << 7000;
    }
    // Written in both views of a 64-bit system and read back with its mode.
    void levelTable() {
        QFETCH(QString, name);
        QFETCH(int, mode);
        QFETCH(int, number);
        Fixture f;
        BrowserEmulation emulation(f.registry, "peldora");
        emulation.write(name.toLower(), mode, 64);
        QCOMPARE(f.registry.readDword(kEmulationKey, kValue, "32"), QString::number(number));
        QCOMPARE(f.registry.readDword(kEmulationKey, kValue, "64"), QString::number(number));
        QCOMPARE(emulation.read(64), std::make_pair(name, mode));
    }

    void defaultRemovesAndUnknownNumbers() {
        Fixture f;
        BrowserEmulation emulation(f.registry, "peldora");
        emulation.write("IE11", 1, 64);
        emulation.write("默认", 1, 64);
        QCOMPARE(f.registry.readDword(kEmulationKey, kValue, "32"), Registry::kError);
        QCOMPARE(f.registry.readDword(kEmulationKey, kValue, "64"), Registry::kError);
        QCOMPARE(emulation.read(64), std::make_pair(kDefaultEmulationName, 1));
        f.registry.setDword(kEmulationKey, kValue, 12001, "32");
        QCOMPARE(emulation.read(64).first, kDefaultEmulationName);
    }

    void viewPrecedence() {
        Fixture f;
        BrowserEmulation emulation(f.registry, "peldora");
        f.registry.setDword(kEmulationKey, kValue, 10001, "64");
        QCOMPARE(emulation.read(64), std::make_pair(QStringLiteral("IE10"), 2));
        QCOMPARE(emulation.read(32).first, kDefaultEmulationName); // 32-bit systems see one view
        f.registry.setDword(kEmulationKey, kValue, 9000, "32");
        f.registry.setDword(kEmulationKey, kValue, 11000, "64");
        QCOMPARE(emulation.read(64).first, QStringLiteral("IE9"));
        // A 32-bit system writes the 32-bit view only.
        Fixture g;
        BrowserEmulation(g.registry, "peldora").write("IE8", 1, 32);
        QCOMPARE(g.registry.readDword(kEmulationKey, kValue, "32"), QStringLiteral("8000"));
        QCOMPARE(g.registry.readDword(kEmulationKey, kValue, "64"), Registry::kError);
    }

    void keyIsNeverCreated() {
        QTemporaryDir dir;
        Registry registry(dir.path() + "/r.json", "64");
        BrowserEmulation(registry, "peldora").write("IE11", 1, 64);
        QCOMPARE(registry.readDword(kEmulationKey, kValue, "32"), Registry::kError);
        QVERIFY(!QFile::exists(dir.path() + "/r.json"));
    }

    void pathRules_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("full") << "HKEY_LOCAL_MACHINE\\SOFTWARE\\X" << true;
        QTest::newRow("root only") << "HKEY_CURRENT_USER" << true;
        QTest::newRow("abbreviated root") << "HKLM\\SOFTWARE\\X" << false;
        QTest::newRow("trailing backslash") << "HKEY_LOCAL_MACHINE\\SOFTWARE\\" << false;
        QTest::newRow("unknown root") << "HKEY_SOMETHING\\X" << false;
        QTest::newRow("lower-case prefix") << "hkey_local_machine\\X" << false;
        QTest::newRow("dyn data") << "HKEY_DYN_DATA\\X" << true;
    }
    void pathRules() {
        QFETCH(QString, path);
        QFETCH(bool, accepted);
        QCOMPARE(Registry::NormalizeKeyPath(path).has_value(), accepted);
        Fixture f;
        f.registry.ensureKey(path, "32");
        QCOMPARE(f.registry.setDword(path, "v", 5, "32"), accepted);
        QCOMPARE(f.registry.readDword(path, "v", "32"), accepted ? QStringLiteral("5") : Registry::kError);
        QCOMPARE(f.registry.readString(path, "v", "32"), Registry::kError); // wrong type
        QCOMPARE(f.registry.deleteValue(path, "v", "32"), accepted);
    }

    void valuesSurviveAndViewsDefault() {
        QTemporaryDir dir;
        const QString file = dir.path() + "/r.json";
        {
            Registry r(file, "32");
            r.ensureKey(kEmulationKey, "32");
            QVERIFY(r.setDword(kEmulationKey, kValue, -5, "")); // empty view = the system's
        }
        Registry again(file, "32");
        QCOMPARE(again.readDword(kEmulationKey, kValue, "32"), QStringLiteral("-5"));
        QCOMPARE(again.readDword(kEmulationKey.toLower().replace("hkey_local_machine", "HKEY_LOCAL_MACHINE"),
                                 kValue.toUpper(), "32"),
                 QStringLiteral("-5")); // key and value names ignore case
    }

    // Values the registry file holds that are no 32-bit number (or no text) cannot be read.
    void storedValuesReadOrError_data() {
        QTest::addColumn<QByteArray>("value"); // the JSON of the stored value
        QTest::addColumn<QString>("dword");
        QTest::addColumn<QString>("text");
        const QString error = Registry::kError;
        QTest::newRow("number") << QByteArray(R"({"type":"dword","data":11001})") << "11001" << error;
        QTest::newRow("lowest") << QByteArray(R"({"type":"dword","data":-2147483648})")
                                << "-2147483648" << error;
        QTest::newRow("unsigned form") << QByteArray(R"({"type":"dword","data":4294967295})")
                                       << "-1" << error;
        QTest::newRow("text in a dword") << QByteArray(R"({"type":"dword","data":"abc"})") << error
                                         << error;
        QTest::newRow("fraction") << QByteArray(R"({"type":"dword","data":1.5})") << error << error;
        QTest::newRow("huge") << QByteArray(R"({"type":"dword","data":1e300})") << error << error;
        QTest::newRow("33 bits") << QByteArray(R"({"type":"dword","data":4294967297})") << error
                                 << error;
        QTest::newRow("no data") << QByteArray(R"({"type":"dword"})") << error << error;
        QTest::newRow("text") << QByteArray(R"({"type":"sz","data":" IE "})") << error << "IE";
        QTest::newRow("number in a text") << QByteArray(R"({"type":"sz","data":5})") << error
                                          << error;
    }
    void storedValuesReadOrError() {
        QFETCH(QByteArray, value);
        QFETCH(QString, dword);
        QFETCH(QString, text);
        QTemporaryDir dir;
        QFile file(dir.path() + "/r.json");
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QString key = *Registry::NormalizeKeyPath(kEmulationKey);
        const QJsonObject values{{"v", QJsonDocument::fromJson(value).object()}};
        file.write(QJsonDocument(QJsonObject{{"32", QJsonObject{{key, values}}}}).toJson());
        file.close();
        const Registry registry(file.fileName(), "32");
        QCOMPARE(registry.readDword(kEmulationKey, "v", "32"), dword);
        QCOMPARE(registry.readString(kEmulationKey, "v", "32"), text);
    }

    void description_data() {
        QTest::addColumn<QStringList>("values"); // name=value text entries; UBR=n is a number
        QTest::addColumn<QString>("description");
        QTest::newRow("with UBR") << QStringList{"ProductName=Win", "CurrentVersion=6.3", "ReleaseId=2004",
                                                 "CurrentBuildNumber=19041", "UBR=1415", "BuildLab=lab"}
                                  << "Win 版本:2004 (内部版本:19041.1415)";
        QTest::newRow("no release id") << QStringList{"ProductName=Win", "CurrentVersion=6.1",
                                                      "CurrentBuildNumber=7601", "BuildLab=7601.x",
                                                      "CSDVersion=Service Pack 1"}
                                       << "Win 版本:6.1 (内部版本:7601.x : Service Pack 1)";
        QTest::newRow("build lab alone") << QStringList{"ProductName=Debian", "ReleaseId=12", "BuildLab=6.1.0-18"}
                                         << "Debian 版本:12 (内部版本:6.1.0-18)";
    }
    void description() {
        QFETCH(QStringList, values);
        QFETCH(QString, description);
        QTemporaryDir dir;
        Registry r(dir.path() + "/r.json", "64");
        r.ensureKey(kCurrentVersionKey, "64");
        for (const QString& v : values) {
            const QString name = v.section('=', 0, 0);
            const QString data = v.section('=', 1);
            if (name == "UBR") r.setDword(kCurrentVersionKey, name, data.toInt(), "64");
            else r.setStringForSystem(kCurrentVersionKey, name, data, "64");
        }
        QCOMPARE(WindowsDescription(r, SystemFacts{}), description);
    }

    void descriptionFromThisSystem() {
        QTemporaryDir dir;
        QFile osRelease(dir.path() + "/os-release");
        QVERIFY(osRelease.open(QIODevice::WriteOnly));
        osRelease.write("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nVERSION_ID=\"12\"\n");
        osRelease.close();
        SystemFacts facts = ReadSystemFacts(osRelease.fileName());
        QCOMPARE(facts.productName, QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
        QCOMPARE(facts.release, QStringLiteral("12"));
        facts.kernelVersion = "6.1.0-18-amd64";
        Registry r(dir.path() + "/r.json", "64");
        PublishSystemVersion(r, facts);
        QCOMPARE(WindowsDescription(r, facts),
                 QStringLiteral("Debian GNU/Linux 12 (bookworm) 版本:12 (内部版本:6.1.0-18-amd64)"));
        // No os-release: the kernel names the system.
        SystemFacts bare = ReadSystemFacts(dir.path() + "/missing");
        bare.kernelVersion = "6.1.0";
        Registry empty(dir.path() + "/e.json", "64");
        PublishSystemVersion(empty, bare);
        QCOMPARE(WindowsDescription(empty, bare), QStringLiteral("Linux 6.1.0"));
    }

    void bitness_data() {
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<bool>("emulated");
        QTest::addColumn<QString>("bitness");
        QTest::newRow("x64") << QStringList{" x64-based PC "} << false << "64";
        QTest::newRow("several answers") << QStringList{"", "X86-based PC", "X64-based PC"} << false << "64";
        QTest::newRow("x86") << QStringList{"X86-based PC"} << false << "32";
        QTest::newRow("32-bit build on 64") << QStringList{"X86-based PC"} << true << "64";
        QTest::newRow("query failed") << QStringList{} << false << "32";
    }
    void bitness() {
        QFETCH(QStringList, types);
        QFETCH(bool, emulated);
        QFETCH(QString, bitness);
        SystemFacts facts;
        facts.systemTypes = types;
        facts.emulated32On64 = emulated;
        QCOMPARE(DetermineBitness(facts), bitness);
    }
};

PELDORA_TEST_MAIN(EmulationTest)
#include "tst_emulation.moc"
