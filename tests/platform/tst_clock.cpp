#include "platform/Clock.h"
#include "platform/QtEventPump.h"
#include "platform/SystemClock.h"
#include "support/TestContext.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

class ClockTest : public QObject {
    Q_OBJECT
private slots:
    void waitsMeasureElapsedTimeAcrossMidnight_data();
    void waitsMeasureElapsedTimeAcrossMidnight();
    void waitEndsOnTheEventItWaitsFor();
    void pumpRunsWhatIsWaitingAndReturns();
};

// The time of day jumps back at midnight; a wait must neither end early nor last for ever.
void ClockTest::waitsMeasureElapsedTimeAcrossMidnight_data() {
    QTest::addColumn<double>("timeOfDay");
    QTest::newRow("morning") << 36000.0;
    QTest::newRow("just before midnight") << 86399.5;
    QTest::newRow("a minute before midnight") << 86340.0;
}

void ClockTest::waitsMeasureElapsedTimeAcrossMidnight() {
    QFETCH(double, timeOfDay);
    FakeClock clock;
    clock.now = timeOfDay;
    FakePump pump(clock);
    const double start = clock.elapsedSeconds();
    QVERIFY(!WaitSeconds(clock, pump, 120));
    QCOMPARE(clock.elapsedSeconds() - start, 120.0);
    QVERIFY(clock.secondsSinceMidnight() >= 0 && clock.secondsSinceMidnight() < 86400);
}

// With the real clock and pump: a wait of ten seconds ends when a timer's handler makes its
// condition true, and a stop request ends a plain wait.
void ClockTest::waitEndsOnTheEventItWaitsFor() {
    SystemClock clock;
    QtEventPump pump;
    bool arrived = false;
    QTimer::singleShot(30, [&] { arrived = true; });
    QElapsedTimer took;
    took.start();
    QVERIFY(WaitUntil(clock, pump, 10, [&] { return arrived; }));
    QVERIFY2(took.elapsed() < 5000, "the wait slept past its event");

    bool stop = false;
    QTimer::singleShot(30, [&] { stop = true; });
    QVERIFY(WaitSeconds(clock, pump, 10, [&] { return stop; }));
}

void ClockTest::pumpRunsWhatIsWaitingAndReturns() {
    QtEventPump pump;
    int ran = 0;
    QTimer::singleShot(0, [&] { ++ran; });
    pump.processEvents();
    QCOMPARE(ran, 1);
    // Nothing waiting: many calls in a row return at once instead of sleeping each time.
    QElapsedTimer took;
    took.start();
    for (int i = 0; i < 2000; ++i) pump.processEvents();
    QVERIFY2(took.elapsed() < 2000, "processEvents slept with nothing to do");
}

PELDORA_TEST_MAIN(ClockTest)
#include "tst_clock.moc"
