// The options dialog over the program-wide state, with the download window loaded and not.
#include "app/Options.h"
#include "app/SettingsStore.h"
#include "app/ui/OptionsDialog.h"
#include "download/ui/DownloadWindow.h"
#include "support/ui/UiTest.h"
#include "tools/BrowserEmulation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

QString Setting(TestContext& t, const QString& key) {
    return t.settings.ReadSetting(keys::kSettings, key, QStringLiteral("<none>"));
}

} // namespace

class OptionsTest : public QObject {
    Q_OBJECT
private slots:
    void loadAndOkWithoutDownloadWindow() {
        TestContext t;
        t.ctx().state.osBitness = QStringLiteral("64");
        t.ctx().state.promptSaveFolder = 0;
        t.ctx().state.maxFileSizeMB = 12.5;
        t.ctx().state.browserEmulation = QStringLiteral("IE9");
        OptionsDialog d(t.ctx(), nullptr);
        QCOMPARE(d.objectName(), QStringLiteral("fOption"));
        QCOMPARE(d.windowTitle(), QStringLiteral("设置-Peldora"));
        QVERIFY(!d.windowIcon().isNull());
        // The method was never loaded: the design state, method 1, and an empty proxy.
        QVERIFY(d.option(1)->isChecked());
        QVERIFY(!d.check1()->isChecked());
        QVERIFY(d.text6()->text().isEmpty() && d.text8()->text().isEmpty());
        QVERIFY(!d.check2()->isChecked());
        QCOMPARE(d.text1()->text(), QStringLiteral("12.5"));
        QVERIFY(d.optionIE(2)->isChecked());

        d.optionIE(4)->setChecked(true);
        d.okButton()->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(Setting(t, keys::kDownloadMethod), QStringLiteral("1"));
        QCOMPARE(t.ctx().state.downloadMethod, DownloadMethod::Single);
        QCOMPARE(Setting(t, keys::kProxyEnabled), QStringLiteral("0"));
        QCOMPARE(Setting(t, keys::kProxyAddress), QString());
        QCOMPARE(Setting(t, keys::kProxyPort), QString());
        QCOMPARE(Setting(t, keys::kPromptFolder), QStringLiteral("0"));
        QCOMPARE(Setting(t, keys::kMaxFileSize), QStringLiteral("12.5"));
        QCOMPARE(t.ctx().state.browserEmulation, QStringLiteral("IE11"));
        BrowserEmulation emulation(t.registry, t.ctx().executableName);
        QCOMPARE(emulation.read(64).first, QStringLiteral("IE11"));
        QVERIFY(t.dialogs.messages.isEmpty());

        // "默认" leaves the level empty and takes the value away.
        OptionsDialog again(t.ctx(), nullptr);
        QVERIFY(again.optionIE(4)->isChecked());
        again.optionIE(10)->setChecked(true);
        again.okButton()->click();
        QVERIFY(t.ctx().state.browserEmulation.isEmpty());
        QCOMPARE(emulation.read(64).first, kDefaultEmulationName);
    }

    void okUpdatesTheLoadedDownloadWindow() {
        TestContext t;
        t.settings.WriteSetting(keys::kSettings, keys::kDownloadMethod, 1);
        QPointer<DownloadWindow> w = new DownloadWindow(t.ctx());
        QCOMPARE(w->methodLabel()->text(), QStringLiteral("下载方式：1"));
        QVERIFY(!w->threadCountList()->isEnabled());
        {
            OptionsDialog d(t.ctx(), w);
            QVERIFY(d.option(1)->isChecked());
            d.option(2)->setChecked(true);
            d.okButton()->click();
        }
        QCOMPARE(w->methodLabel()->text(), QStringLiteral("下载方式：2"));
        QVERIFY(w->threadCountList()->isEnabled());
        QCOMPARE(w->threadCountList()->currentText(), QStringLiteral("1"));
        QCOMPARE(w->state().threadCount, 1);
        QCOMPARE(Setting(t, keys::kDownloadMethod), QStringLiteral("2"));
        {
            OptionsDialog d(t.ctx(), w);
            QVERIFY(d.option(2)->isChecked());
            d.option(1)->setChecked(true);
            d.okButton()->click();
        }
        QCOMPARE(w->methodLabel()->text(), QStringLiteral("下载方式：1"));
        QVERIFY(!w->threadCountList()->isEnabled());

        // While downloading the method stays; other options may change.
        w->state().schedulerTimer()->start();
        {
            OptionsDialog d(t.ctx(), w);
            d.option(2)->setChecked(true);
            d.okButton()->click();
            QCOMPARE(d.result(), int(QDialog::Rejected));
            QCOMPARE(t.dialogs.messageTexts(), QStringList{"停止下载后方可设置！"});
            QCOMPARE(t.ctx().state.downloadMethod, DownloadMethod::Single);
            d.option(1)->setChecked(true);
            d.text1()->setText(QStringLiteral("30"));
            d.okButton()->click();
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QCOMPARE(t.ctx().state.maxFileSizeMB, 30.0);
        }
        w->state().schedulerTimer()->stop();
        delete w.data();
    }

    void proxyChecks_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("warned");
        QTest::newRow("good") << true << " proxy.lan " << " 80 " << false;
        QTest::newRow("empty address") << true << "  " << "3128" << true;
        QTest::newRow("port not a number") << true << "proxy.lan" << "80a" << true;
        QTest::newRow("port out of range") << true << "proxy.lan" << "70000" << true;
        QTest::newRow("empty port") << true << "proxy.lan" << "" << true;
        QTest::newRow("off: not checked") << false << "" << "x" << false;
    }
    void proxyChecks() {
        QFETCH(bool, enabled);
        QFETCH(QString, address);
        QFETCH(QString, port);
        QFETCH(bool, warned);
        TestContext t;
        OptionsDialog d(t.ctx(), nullptr);
        d.check1()->setChecked(enabled);
        d.text6()->setText(address);
        d.text8()->setText(port);
        d.okButton()->click();
        // A warning only: the values are stored, trimmed, and the dialog closes.
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(t.dialogs.messageTexts(),
                 warned ? QStringList{"代理服务器网址或者端口格式不对！"} : QStringList());
        if (warned) QCOMPARE(t.dialogs.messages[0].icon, MessageIcon::Critical);
        QCOMPARE(Setting(t, keys::kProxyEnabled), enabled ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(Setting(t, keys::kProxyAddress), address.trimmed());
        QCOMPARE(Setting(t, keys::kProxyPort), port.trimmed());
        QCOMPARE(t.ctx().state.proxyAddress, address.trimmed());
    }

    void maximumSizeMustBeAPositiveNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::newRow("whole") << " 25 " << "25";
        QTest::newRow("fraction") << "0.5" << "0.5";
        QTest::newRow("empty") << "" << "<none>";
        QTest::newRow("text") << "ten" << "<none>";
        QTest::newRow("zero") << "0" << "<none>";
        QTest::newRow("negative") << "-3" << "<none>";
        QTest::newRow("infinite") << "inf" << "<none>";
        QTest::newRow("not a number") << "nan" << "<none>";
    }
    void maximumSizeMustBeAPositiveNumber() {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        TestContext t;
        OptionsDialog d(t.ctx(), nullptr);
        d.check1()->setChecked(true);
        d.text1()->setText(text);
        d.okButton()->click();
        const bool refused = stored == QStringLiteral("<none>");
        QCOMPARE(d.result(), refused ? int(QDialog::Rejected) : int(QDialog::Accepted));
        QCOMPARE(Setting(t, keys::kMaxFileSize), stored);
        if (refused) {
            // Nothing at all is stored, and the dialog stays for a correction.
            QCOMPARE(t.dialogs.messageTexts(), QStringList{kMaxFileSizeRefused});
            QCOMPARE(Setting(t, keys::kDownloadMethod), QStringLiteral("<none>"));
            QCOMPARE(Setting(t, keys::kProxyEnabled), QStringLiteral("<none>"));
            QCOMPARE(t.ctx().state.maxFileSizeMB, 10.0);
        }
    }

    void closeStoresNothing() {
        TestContext t;
        OptionsDialog d(t.ctx(), nullptr);
        d.option(2)->setChecked(true);
        d.check1()->setChecked(true);
        d.text1()->setText(QStringLiteral("99"));
        d.closeButton()->click();
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(Setting(t, keys::kDownloadMethod), QStringLiteral("<none>"));
        QCOMPARE(t.ctx().state.downloadMethod, DownloadMethod::Unset);
        QCOMPARE(t.ctx().state.maxFileSizeMB, 10.0);
    }
};

PELDORA_UI_TEST_MAIN(OptionsTest)
#include "tst_options.moc"
