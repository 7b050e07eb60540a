#include "common/ShellHelpers.h"
#include "common/ui/WindowHelpers.h"
#include "support/ui/UiTest.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

class WindowHelpersTest : public QObject {
    Q_OBJECT
private slots:
    void isFormLoaded() {
        QVERIFY(!IsFormLoaded("fWebSearch"));
        auto* w = new QWidget;
        w->setObjectName("fWebSearch");
        QVERIFY(IsFormLoaded("fwebsearch")); // loaded while hidden, any letter case
        w->show();
        QVERIFY(IsFormLoaded("FWEBSEARCH"));
        delete w;
        QVERIFY(!IsFormLoaded("fWebSearch"));
    }

    void dropWidthFollowsTheLongestEntry() {
        QComboBox combo;
        combo.resize(80, 24);
        combo.show();
        FitComboDropWidth(&combo); // empty: nothing to do
        const QString longest = QStringLiteral("/home/researcher/papers/2019/very-long-folder-name/");
        combo.addItems({"a", longest, "bb"});
        FitComboDropWidth(&combo);
        const int wanted = combo.fontMetrics().horizontalAdvance(longest) + 7;
        QCOMPARE(combo.view()->minimumWidth(), std::min(wanted, combo.screen()->geometry().right() -
                                                                    combo.mapToGlobal(QPoint()).x()));
        FitComboDropWidth(nullptr);
    }

    void soundCues() {
        FakeSound sound;
        for (int cue : {100, 101, 102, 103, 104}) PlaySoundCue(sound, cue);
        QCOMPARE(sound.played, (QList<int>{101, 102, 103}));
        // The real player plays its cues from the resources.
        QVERIFY(QFile::exists(":/sounds/101.wav") && QFile::exists(":/sounds/102.wav") &&
                QFile::exists(":/sounds/103.wav"));
    }

    void systemBrowser() {
        FakeShell shell;
        OpenInSystemBrowser(shell, "https://www.jstage.jst.go.jp/", false);
        OpenInSystemBrowser(shell, "https://www.jstage.jst.go.jp/", true);
        QCOMPARE(shell.opened, QStringList(2, "address:https://www.jstage.jst.go.jp/"));
    }
};

PELDORA_UI_TEST_MAIN(WindowHelpersTest)
#include "tst_windowhelpers.moc"
