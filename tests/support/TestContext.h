#pragma once
// A complete AppContext over fakes, with settings, registry and data folder in a temporary
// folder that is removed with the fixture.
#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "platform/QtEventPump.h"
#include "platform/SystemClock.h"
#include "support/Fakes.h"
#include "tools/Registry.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <memory>

namespace peldora::test {

class TestContext {
public:
    // With realTime the context runs on the real clock and event pump (for real pages, whose
    // loads take real time); the fake clock and pump are then left unused.
    explicit TestContext(bool realTime = false);
    AppContext& ctx() { return *m_ctx; }
    QString dir() const { return m_dir.path(); }
    QString settingsPath() const { return m_dir.path() + QStringLiteral("/Peldora.ini"); }
    QString registryPath() const { return m_dir.path() + QStringLiteral("/registry.json"); }

    FakeDialogs dialogs;
    FakeClock clock;
    FakePump pump{clock};
    FakeShell shell;
    FakeSound sound;
    int endProgramCalls = 0;

private:
    QTemporaryDir m_dir;
    SystemClock m_realClock;
    QtEventPump m_realPump;

public:
    SettingsStore settings;
    Registry registry;

private:
    std::unique_ptr<AppContext> m_ctx;
};

// Points HOME and the XDG folders at a fresh temporary folder for the whole test program, so
// nothing the program writes leaks out. Call first in main (see PELDORA_TEST_MAIN).
void IsolateUserFolders();

} // namespace peldora::test

// A QTEST_MAIN for tests of the logic: user folders isolated before the application object
// exists, and a GUI application without widgets (models draw icons).
#define PELDORA_TEST_MAIN(TestClass)                                                          \
    int main(int argc, char** argv) {                                                         \
        peldora::test::IsolateUserFolders();                                                  \
        QGuiApplication app(argc, argv);                                                      \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                              \
        TestClass tc;                                                                         \
        QTEST_SET_MAIN_SOURCE_PATH                                                            \
        return QTest::qExec(&tc, argc, argv);                                                 \
    }
