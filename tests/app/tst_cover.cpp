#include "app/SettingsStore.h"
#include "app/ui/CoverWindow.h"
#include "common/Maker.h"
#include "support/ui/UiTest.h"
#include "tools/BrowserEmulation.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {
QString Emulation(Registry& r, const QString& view) {
    return r.readDword(kEmulationKey, QStringLiteral("peldora.exe"), view);
}
} // namespace

class CoverTest : public QObject {
    Q_OBJECT
private slots:
    void loadFillsTheProgramState() {
        TestContext t;
        t.settings.WriteSetting(keys::kSettings, keys::kMaxFileSize, "12.5");
        CoverWindow cover(t.ctx());
        QVERIFY(cover.label(5)->isVisibleTo(&cover));
        cover.load();
        QCOMPARE(cover.windowTitle(), QStringLiteral("Peldora"));
        QCOMPARE(cover.label(2)->text(), QStringLiteral("版本:1.0.0"));
        QVERIFY(cover.label(1)->text().startsWith(QStringLiteral("J-STAGE(日本Free Access学术期刊)")));
        QCOMPARE(cover.label(4)->text(),
                 QStringLiteral("(该软件仅用于科研人员辅助少量下载；请不要恶意下载和大量下载！)"));
        QCOMPARE(cover.command1()->text(), QStringLiteral("资料检索下载"));
        QCOMPARE(cover.command3()->text(), QStringLiteral("退出软件"));
        QVERIFY(!cover.label(5)->isVisible());
        QVERIFY(cover.isVisible());
        QVERIFY(t.pump.pumps >= 1); // painted before the slow steps

        const ProgramState& s = t.ctx().state;
        QCOMPARE(s.osBitness, QStringLiteral("64"));
        QCOMPARE(s.windowsDescription,
                 QStringLiteral("Debian GNU/Linux 12 (bookworm) 版本:12 (内部版本:6.1.0-18-amd64)[64位]"));
        QCOMPARE(s.browserEmulation, QStringLiteral("IE默认"));
        QCOMPARE(s.maxFileSizeMB, 12.5);
        QVERIFY(s.saveFolder.endsWith(QStringLiteral("/12345/")));
    }

    void timerStartsTheVersionCheckOnce() {
        TestContext t;
        CoverWindow cover(t.ctx());
        int checks = 0;
        cover.startVersionCheck = [&] { ++checks; };
        QVERIFY(!cover.timer1()->isActive());
        cover.load();
        QVERIFY(cover.timer1()->isActive());
        QCOMPARE(cover.timer1()->interval(), 100);
        QTRY_COMPARE(checks, 1);
        QVERIFY(!cover.timer1()->isActive());
        QTest::qWait(250);
        QCOMPARE(checks, 1);
    }

    void searchButtonAndVersionLink() {
        TestContext t;
        CoverWindow cover(t.ctx());
        cover.load();
        QSignalSpy requested(&cover, &CoverWindow::searchRequested);
        cover.command1()->click();
        QCOMPARE(requested.size(), 1);
        QCOMPARE(t.endProgramCalls, 0);
        // Label3 opens the program's page, where newer versions are offered.
        QTest::mouseClick(cover.label(3), Qt::LeftButton);
        QCOMPARE(t.shell.opened, QStringList{QStringLiteral("address:") + kMakerLatestVersion});
    }

    // First run: quitting writes IE11, so the next run reads IE11. A chosen level is left alone.
    void exitWritesTheDefaultLevelOnlyWhenNoneIsSet() {
        TestContext t;
        {
            CoverWindow cover(t.ctx());
            cover.load();
            cover.command3()->click();
            QCOMPARE(t.endProgramCalls, 1);
        }
        QCOMPARE(Emulation(t.registry, "32"), QStringLiteral("11000"));
        QCOMPARE(Emulation(t.registry, "64"), QStringLiteral("11000"));
        {
            CoverWindow second(t.ctx());
            second.load();
            QCOMPARE(t.ctx().state.browserEmulation, QStringLiteral("IE11"));
        }

        BrowserEmulation(t.registry, "peldora").write("IE8", 1, 64);
        CoverWindow third(t.ctx());
        third.load();
        QCOMPARE(t.ctx().state.browserEmulation, QStringLiteral("IE8"));
        third.close(); // the title bar's close runs the same path
        QCOMPARE(t.endProgramCalls, 2);
        QCOMPARE(Emulation(t.registry, "32"), QStringLiteral("8000"));

        // Choosing the default level in the options empties the variable: exit writes IE11 again.
        t.ctx().state.browserEmulation.clear();
        third.show();
        third.close();
        QCOMPARE(Emulation(t.registry, "64"), QStringLiteral("11000"));
    }
};

PELDORA_UI_TEST_MAIN(CoverTest)
#include "tst_cover.moc"
