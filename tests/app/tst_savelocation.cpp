#include "app/SaveLocation.h"
#include "app/SettingsStore.h"
#include "app/ui/SaveLocationDialog.h"
#include "common/DefaultFolders.h"
#include "support/ui/UiTest.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

// Test data names folders below the test's temporary folder as "@/...".
QString At(const TestContext& t, QString text) { return text.replace(u'@', t.dir()); }
QStringList At(const TestContext& t, const QStringList& list) {
    QStringList out;
    for (const QString& s : list) out << At(t, s);
    return out;
}

QString HistoryPath(TestContext& t) { return t.ctx().dataFolder + QStringLiteral("/SaveList.dat"); }

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

QByteArray Lines(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines) out += l.toUtf8() + "\r\n";
    return out;
}

QStringList Numbered(const QString& stem, int count, int from = 1) {
    QStringList out;
    for (int i = from; i < from + count; ++i) out << stem + QString::number(i);
    return out;
}

QStringList Items(const QComboBox* combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
    return out;
}

// Bytes no text editor writes: NULs, control bytes, invalid UTF-8, a few line breaks.
QByteArray Garbage() {
    QByteArray out;
    for (int i = 0; i < 4096; ++i) out += char((i * 7919 + 13) % 256);
    return out;
}

// The dialog as its callers create it; it deletes itself when it closes.
QPointer<SaveLocationDialog> Open(TestContext& t) {
    QPointer<SaveLocationDialog> d = new SaveLocationDialog(t.ctx());
    d->show();
    return d;
}

} // namespace

class SaveLocationTest : public QObject {
    Q_OBJECT
private slots:
    void loadShowsStateAndHistory_data() {
        QTest::addColumn<bool>("originalName");
        QTest::newRow("article title") << false;
        QTest::newRow("server name") << true;
    }
    void loadShowsStateAndHistory() {
        QFETCH(bool, originalName);
        TestContext t;
        t.ctx().state.useOriginalName = originalName;
        t.ctx().state.saveFolder = At(t, "@/papers/");
        t.ctx().state.saveDialogCancelled = false;
        WriteBytes(HistoryPath(t), "/a/One\r\n\r\n  /a/two  \r\n/A/ONE\n/a/Three");

        QPointer<SaveLocationDialog> d = Open(t);
        QCOMPARE(d->objectName(), QStringLiteral("fSeleFileSavePath"));
        QCOMPARE(d->windowTitle(), QStringLiteral("选择下载保存路径－Quenvar软件"));
        QVERIFY(d->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!d->windowIcon().isNull());
        QCOMPARE(d->option1()->isChecked(), originalName);
        QCOMPARE(d->option2()->isChecked(), !originalName);
        QCOMPARE(Items(d->combo1()), QStringList({"/a/One", "/a/two", "/a/Three"}));
        QCOMPARE(d->combo1()->currentText(), At(t, "@/papers/"));
        QVERIFY(t.ctx().state.saveDialogCancelled);
        QCOMPARE(d->command1()->text(), QStringLiteral("..."));
        QCOMPARE(d->command2()->text(), QStringLiteral("确定"));
        QCOMPARE(d->command3()->text(), QStringLiteral("取消"));
        d->close();
        QTRY_VERIFY(d.isNull());
    }

    // LoadComboFromFile on its own: "keep" is what the list held before.
    void historyFileReading_data() {
        QTest::addColumn<QByteArray>("content"); // "<dir>": a folder of that name, "<none>": missing
        QTest::addColumn<QStringList>("expected");
        const QStringList keep{"keep"};
        QTest::newRow("missing") << QByteArray("<none>") << keep;
        QTest::newRow("a folder, not a file") << QByteArray("<dir>") << keep;
        QTest::newRow("binary garbage") << Garbage() << keep;
        QTest::newRow("one NUL in a line") << QByteArray("/a\r\n/b\0c\r\n", 10) << keep;
        QTest::newRow("a line no folder needs")
            << QByteArray("/a\r\n") + QByteArray(64 * 1024, 'x') + "\r\n" << keep;
        QTest::newRow("empty history") << QByteArray("\r\n") << QStringList();
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("case duplicates") << QByteArray("D:/A\r\nd:/a\r\n") << QStringList{"D:/A"};
        QTest::newRow("LF and a last line without end")
            << QByteArray("/x\n/y\r\n/z") << QStringList{"/x", "/y", "/z"};
        QTest::newRow("UTF-8 names")
            << QString("/论文/日本\r\n/论文/日本\r\n").toUtf8() << QStringList{"/论文/日本"};
        QTest::newRow("150 folders") << Lines(Numbered("/f", 150)) << Numbered("/f", 100);
        QTest::newRow("10,000 folders") << Lines(Numbered("/f", 10000)) << Numbered("/f", 100);
        // Duplicates count towards the 100 lines read.
        QTest::newRow("10,000 copies then new ones")
            << Lines(QStringList(10000, "/same") + Numbered("/f", 5)) << QStringList{"/same"};
        QTest::newRow("blank lines do not count")
            << Lines(QStringList(5000, "  ") + Numbered("/f", 120)) << Numbered("/f", 100);
        QTest::newRow("garbage after the 100th entry")
            << Lines(Numbered("/f", 100)) + Garbage() << Numbered("/f", 100);
        // A sequence cut off at a line end is no text either, not an empty line.
        QTest::newRow("one garbage byte") << QByteArray("\xC3") << keep;
        QTest::newRow("sequence cut at a line end") << QByteArray("/a\r\n/b\xE4\xB8\r\n") << keep;
        // The longest line a folder may take is the same with either line end.
        const QByteArray longest = "/" + QByteArray(32 * 1024 - 1, 'x');
        QTest::newRow("longest line, CR LF") << longest + "\r\n" << QStringList{longest};
        QTest::newRow("longest line, LF") << longest + "\n" << QStringList{longest};
        QTest::newRow("one byte longer, CR LF") << longest + "x\r\n" << keep;
        QTest::newRow("one byte longer, LF") << longest + "x\n" << keep;
        // A byte-order mark is invisible: it goes with the spaces around an entry.
        QTest::newRow("BOM after spaces")
            << QByteArray("  \xEF\xBB\xBF/a\r\n\xEF\xBB\xBF/b\r\n/A\r\n") << QStringList{"/a", "/b"};
    }
    void historyFileReading() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        TestContext t;
        const QString path = HistoryPath(t);
        if (content == "<dir>")
            QVERIFY(QDir().mkpath(path));
        else if (content != "<none>")
            WriteBytes(path, content);
        QStringList list{"keep"};
        QElapsedTimer timer;
        timer.start();
        LoadComboFromFile(list, path);
        QCOMPARE(list, expected);
        QVERIFY(timer.elapsed() < 2000);
    }

    // What was read, written back and read again is the same list.
    void historyRoundTrip_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("BOM after spaces") << QByteArray("  \xEF\xBB\xBF/a\r\n/a\r\n");
        QTest::newRow("BOM at the start") << QByteArray("\xEF\xBB\xBF/a\r\n/b");
        QTest::newRow("BOMs and spaces") << QByteArray(" \xEF\xBB\xBF \xEF\xBB\xBF/a \r\n");
    }
    void historyRoundTrip() {
        QFETCH(QByteArray, content);
        TestContext t;
        const QString path = HistoryPath(t);
        WriteBytes(path, content);
        QStringList first;
        LoadComboFromFile(first, path);
        QVERIFY(!first.isEmpty());
        SaveComboToFile(first, path);
        QStringList second;
        LoadComboFromFile(second, path);
        QCOMPARE(second, first);
    }

    void historyFileWriting() {
        TestContext t;
        const QString path = HistoryPath(t);
        SaveComboToFile({"/a", "/论文"}, path);
        QCOMPARE(ReadBytes(path), QString("/a\r\n/论文\r\n").toUtf8());
        SaveComboToFile({}, path);
        QCOMPARE(ReadBytes(path), QByteArray("\r\n"));
        // A path that cannot be a file: nothing happens, nothing is thrown or shown.
        QVERIFY(QDir().mkpath(path + "x"));
        SaveComboToFile({"/a"}, path + "x");
        QVERIFY(QFileInfo(path + "x").isDir());
        SaveComboToFile({"/a"}, t.dir() + "/missing/SaveList.dat");
        QVERIFY(!QFile::exists(t.dir() + "/missing"));
        QVERIFY(t.dialogs.messages.isEmpty());
    }

    // A history file the program may write in a folder that takes no new files.
    void historyInReadOnlyFolderIsRewrittenInPlace() {
        TestContext t;
        const QString path = HistoryPath(t);
        WriteBytes(path, "/old\r\n");
        const QString folder = t.ctx().dataFolder;
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const bool blocked = !QFile(folder + "/probe").open(QIODevice::WriteOnly);
        QFile::remove(folder + "/probe");
        if (blocked) SaveComboToFile({"/new"}, path);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        if (!blocked) QSKIP("permissions do not bind this user");
        QCOMPARE(ReadBytes(path), QByteArray("/new\r\n"));
    }

    // OK with a usable folder: state, setting and history file, then the dialog closes.
    void okStoresFolderAndRewritesHistory_data() {
        QTest::addColumn<QByteArray>("history"); // "<none>": no file yet
        QTest::addColumn<QString>("typed");      // empty: leave the folder the dialog shows
        QTest::addColumn<bool>("option1");
        QTest::addColumn<QString>("saveFolder");
        QTest::addColumn<QStringList>("written");

        const QString def = DefaultSaveFolder();
        const QString defNoSep = def.left(def.size() - 1);
        QTest::newRow("first run") << QByteArray("<none>") << QString() << false << def
                                   << QStringList{defNoSep};
        QTest::newRow("typed without separator, server names")
            << QByteArray("/old\r\n") << "@/new/deep" << true << "@/new/deep/"
            << QStringList{"/old", "@/new/deep"};
        QTest::newRow("typed with separator")
            << QByteArray("/old\r\n") << "@/new/" << false << "@/new/"
            << QStringList{"/old", "@/new"};
        QTest::newRow("already listed is appended again")
            << QByteArray("/old\r\n@/new\r\n") << "@/new" << false << "@/new/"
            << QStringList{"/old", "@/new", "@/new"};
        QTest::newRow("garbage history is replaced")
            << Garbage() << "@/new" << false << "@/new/" << QStringList{"@/new"};
        QTest::newRow("empty history")
            << QByteArray("\r\n") << "@/new" << false << "@/new/" << QStringList{"@/new"};
        // On a full list the newest folder must survive the next reading.
        QTest::newRow("full history drops the oldest")
            << Lines(Numbered("/f", 100)) << "@/new" << false << "@/new/"
            << Numbered("/f", 99, 2) + QStringList{"@/new"};
        QTest::newRow("full history, folder already listed")
            << Lines(Numbered("/f", 99) + QStringList{"@/new"}) << "@/new" << false << "@/new/"
            << Numbered("/f", 99) + QStringList{"@/new", "@/new"};
    }
    void okStoresFolderAndRewritesHistory() {
        QFETCH(QByteArray, history);
        QFETCH(QString, typed);
        QFETCH(bool, option1);
        QFETCH(QString, saveFolder);
        QFETCH(QStringList, written);
        TestContext t;
        // Lines of the history name folders of this test as "@/...".
        history.replace('@', t.dir().toUtf8());
        if (history != "<none>") WriteBytes(HistoryPath(t), history);
        t.ctx().state.saveFolder = DefaultSaveFolder();
        QDir(DefaultSaveFolder()).removeRecursively();

        QPointer<SaveLocationDialog> d = Open(t);
        if (!typed.isEmpty()) d->combo1()->setEditText(At(t, typed));
        if (option1) d->option1()->click();
        int accepted = 0;
        connect(d.data(), &QDialog::accepted, this, [&] { ++accepted; });
        QTest::mouseClick(d->command2(), Qt::LeftButton);

        QVERIFY(t.dialogs.messages.isEmpty());
        QCOMPARE(accepted, 1);
        QTRY_VERIFY(d.isNull());
        const ProgramState& s = t.ctx().state;
        QCOMPARE(s.saveFolder, At(t, saveFolder));
        QVERIFY(QFileInfo(s.saveFolder).isDir());
        QCOMPARE(s.useOriginalName, option1);
        QVERIFY(!s.saveDialogCancelled);
        QCOMPARE(t.settings.ReadSetting(keys::kSettings, keys::kSaveFolder, {}), s.saveFolder);
        const QByteArray bytes = ReadBytes(HistoryPath(t));
        QCOMPARE(bytes, Lines(At(t, written)));

        // The next showing lists what was written, the folder just used included.
        QPointer<SaveLocationDialog> again = Open(t);
        QVERIFY(Items(again->combo1()).contains(At(t, written.last())));
        QCOMPARE(again->combo1()->currentText(), s.saveFolder);
        again->close();
        QTRY_VERIFY(again.isNull());
    }

    // A folder the check cannot use: the messages, the dialog stays, nothing is stored.
    void okRefusesUnusableFolder_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("messages");
        const QString bad = QStringLiteral("文件夹名称有误！不能创建文件夹！");
        const QString wrong = QStringLiteral("文件夹设置错误！");
        QTest::newRow("empty") << QString() << QStringList{wrong};
        QTest::newRow("spaces") << "   " << QStringList{wrong};
        QTest::newRow("below a file") << "@/afile/sub" << QStringList{wrong};
        QTest::newRow("relative and missing") << "nowhere-xyz/sub" << QStringList{wrong};
        QTest::newRow("name that cleans to nothing") << "/??" << QStringList{bad, wrong};
    }
    void okRefusesUnusableFolder() {
        QFETCH(QString, typed);
        QFETCH(QStringList, messages);
        TestContext t;
        WriteBytes(t.dir() + "/afile", "x");
        const QByteArray history("/old\r\n");
        WriteBytes(HistoryPath(t), history);
        t.ctx().state.saveFolder = At(t, "@/before/");
        t.ctx().state.useOriginalName = false;

        QPointer<SaveLocationDialog> d = Open(t);
        d->option1()->click();
        d->combo1()->setEditText(At(t, typed));
        d->command2()->click();

        QCOMPARE(t.dialogs.messageTexts(), messages);
        for (const ShownMessage& m : t.dialogs.messages) QCOMPARE(m.icon, MessageIcon::Critical);
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->combo1()->currentText(), QString());
        const ProgramState& s = t.ctx().state;
        QCOMPARE(s.saveFolder, At(t, "@/before/"));
        QVERIFY(s.saveDialogCancelled);
        QCOMPARE(t.settings.ReadSetting(keys::kSettings, keys::kSaveFolder, "<unset>"),
                 QStringLiteral("<unset>"));
        QCOMPARE(ReadBytes(HistoryPath(t)), history);
        QVERIFY(!QFile::exists(t.dir() + "/afile/sub"));

        // The naming option was taken over by the refused OK; cancel does not undo it.
        QVERIFY(s.useOriginalName);
        d->command3()->click();
        QTRY_VERIFY(d.isNull());
        QVERIFY(s.saveDialogCancelled);
        QVERIFY(s.useOriginalName);

        // A second try with a usable folder goes through.
        QPointer<SaveLocationDialog> again = Open(t);
        again->combo1()->setEditText(At(t, "@/ok"));
        again->command2()->click();
        QTRY_VERIFY(again.isNull());
        QCOMPARE(s.saveFolder, At(t, "@/ok/"));
        QVERIFY(!s.saveDialogCancelled);
    }

    void cancelChangesNothing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("取消") << "button";
        QTest::newRow("title bar") << "close";
        QTest::newRow("Escape") << "escape";
    }
    void cancelChangesNothing() {
        QFETCH(QString, how);
        TestContext t;
        t.ctx().state.saveFolder = At(t, "@/before/");
        t.ctx().state.useOriginalName = false;
        t.ctx().state.saveDialogCancelled = false;

        QPointer<SaveLocationDialog> d = Open(t);
        d->option1()->click();
        d->combo1()->setEditText(At(t, "@/other"));
        if (how == "button")
            QTest::mouseClick(d->command3(), Qt::LeftButton);
        else if (how == "close")
            d->close();
        else
            QTest::keyClick(d, Qt::Key_Escape);
        QTRY_VERIFY(d.isNull());

        const ProgramState& s = t.ctx().state;
        QVERIFY(s.saveDialogCancelled);
        QVERIFY(!s.useOriginalName);
        QCOMPARE(s.saveFolder, At(t, "@/before/"));
        QVERIFY(!QFile::exists(At(t, "@/other")));
        QVERIFY(!QFile::exists(HistoryPath(t)));
        QVERIFY(t.dialogs.messages.isEmpty());
    }

    // The history file cannot be read or written: the dialog works as without one.
    void unusableHistoryIsIgnored_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("SaveList.dat is a folder") << "folder";
        QTest::newRow("data folder missing") << "missing";
        QTest::newRow("data folder is a file") << "file";
    }
    void unusableHistoryIsIgnored() {
        QFETCH(QString, kind);
        TestContext t;
        if (kind == "folder") {
            QVERIFY(QDir().mkpath(HistoryPath(t)));
        } else if (kind == "missing") {
            t.ctx().dataFolder = t.dir() + "/gone";
        } else {
            t.ctx().dataFolder = t.dir() + "/plain";
            WriteBytes(t.dir() + "/plain", "not a folder");
        }
        t.ctx().state.saveFolder = At(t, "@/dl/");

        QPointer<SaveLocationDialog> d = Open(t);
        QCOMPARE(d->combo1()->count(), 0);
        d->command2()->click();
        QTRY_VERIFY(d.isNull());
        QVERIFY(t.dialogs.messages.isEmpty());
        QCOMPARE(t.ctx().state.saveFolder, At(t, "@/dl/"));
        QVERIFY(!t.ctx().state.saveDialogCancelled);
        if (kind == "folder") QVERIFY(QFileInfo(HistoryPath(t)).isDir());
        if (kind == "missing") QVERIFY(!QFile::exists(t.dir() + "/gone"));
        if (kind == "file") QCOMPARE(ReadBytes(t.dir() + "/plain"), QByteArray("not a folder"));
    }

    // "...": where the picker starts and what the folder text becomes.
    void browse_data() {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QVariant>("answer"); // invalid: the picker is cancelled
        QTest::addColumn<QString>("start");   // "<root>": the fallback root
        QTest::addColumn<QString>("result");
        const QVariant cancel;
        QTest::newRow("cancel, folder with separator")
            << "@/papers/2019/" << cancel << "@/papers/" << "@/papers/2019/";
        QTest::newRow("cancel, folder without separator")
            << "@/papers/2019" << cancel << "@/papers/" << "@/papers/2019/";
        QTest::newRow("chosen folder gets the separator")
            << "@/papers/2019/" << QVariant(QStringLiteral("@/papers/2020")) << "@/papers/"
            << "@/papers/2020/";
        QTest::newRow("chosen nothing keeps the folder")
            << "@/papers/2019/" << QVariant(QString()) << "@/papers/" << "@/papers/2019/";
        QTest::newRow("missing parent starts at the root")
            << "@/none/2019/" << cancel << "<root>" << "@/none/2019/";
        QTest::newRow("empty starts at the root") << QString() << cancel << "<root>" << "/";
        QTest::newRow("spaces start at the root") << "  " << cancel << "<root>" << "  /";
    }
    void browse() {
        QFETCH(QString, initial);
        QFETCH(QVariant, answer);
        QFETCH(QString, start);
        QFETCH(QString, result);
        TestContext t;
        QVERIFY(QDir().mkpath(t.dir() + "/papers/2019"));
        t.dialogs.folderAnswers.push_back(answer.isValid()
                                              ? std::optional<QString>(At(t, answer.toString()))
                                              : std::nullopt);
        t.ctx().state.saveFolder = At(t, initial);

        QPointer<SaveLocationDialog> d = Open(t);
        QTest::mouseClick(d->command1(), Qt::LeftButton);
        QCOMPARE(t.dialogs.browseStarts,
                 QStringList{start == "<root>" ? FallbackRootFolder() : At(t, start)});
        QCOMPARE(d->combo1()->currentText(), At(t, result));
        // Browsing chooses only: nothing is stored before OK.
        QCOMPARE(t.ctx().state.saveFolder, At(t, initial));
        QVERIFY(t.ctx().state.saveDialogCancelled);
        d->close();
        QTRY_VERIFY(d.isNull());
    }

    // Callers show it modally; the call returns once it has closed, and the window is gone.
    void shownModallyByCallers() {
        TestContext t;
        t.ctx().state.saveFolder = At(t, "@/modal");
        QPointer<QWidget> seen;
        bool found = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* w = QApplication::activeModalWidget();
            found = w && w->objectName() == QStringLiteral("fSeleFileSavePath");
            seen = w;
            if (found) w->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, this, [] {
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
        });
        watchdog.start(5000);
        ShowSaveLocationDialog(t.ctx(), nullptr);
        QVERIFY(found);
        QVERIFY(seen.isNull()); // deleted when exec ended
        QCOMPARE(t.ctx().state.saveFolder, At(t, "@/modal/"));
        QVERIFY(!t.ctx().state.saveDialogCancelled);
        QCOMPARE(ReadBytes(HistoryPath(t)), Lines({At(t, "@/modal")}));
    }
};

PELDORA_UI_TEST_MAIN(SaveLocationTest)
#include "tst_savelocation.moc"
