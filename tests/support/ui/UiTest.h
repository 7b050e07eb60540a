#pragma once
// Tests of windows and of the embedded browser: the core test support plus a widget
// application with the program's resources and the browser's environment.
#include "platform/qt/Resources.h"
#include "platform/qt/WebEngineSetup.h"
#include "support/TestContext.h"

#include <QApplication>

#define PELDORA_UI_TEST_MAIN(TestClass)                                                       \
    int main(int argc, char** argv) {                                                         \
        peldora::test::IsolateUserFolders();                                                  \
        peldora::PrepareWebEngineEnvironment();                                               \
        QApplication app(argc, argv);                                                         \
        peldora::InitResources();                                                             \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                              \
        TestClass tc;                                                                         \
        QTEST_SET_MAIN_SOURCE_PATH                                                            \
        return QTest::qExec(&tc, argc, argv);                                                 \
    }
