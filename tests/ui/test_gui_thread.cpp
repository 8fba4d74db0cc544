#include "ui/gui_thread.h"
#include "ui_test_support.h"

#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(GuiThreadGate, RunsAtOnceOnTheGuiThread)
{
    TestApp();
    QObject context;
    CGuiThreadGate gate(&context);
    bool ran = false;
    EXPECT_TRUE(gate.Run([&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_EQ(gate.Call<int>([] { return 7; }, -1), 7);
}

TEST(GuiThreadGate, WorkerCallsRunOnTheGuiThread)
{
    TestApp();
    QObject context;
    CGuiThreadGate gate(&context);
    std::atomic<bool> onGui{false};
    std::atomic<int> result{0};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        gate.Run([&] { onGui = QThread::currentThread() == context.thread(); });
        result = gate.Call<int>([] { return 42; }, -1);
        finished = true;
    });
    for (int i = 0; i < 500 && !finished; ++i)
        QTest::qWait(10);
    worker.join();
    EXPECT_TRUE(onGui);
    EXPECT_EQ(result, 42);
}

TEST(GuiThreadGate, ClosingReleasesAWaitingWorker)
{
    TestApp();
    QObject context;
    CGuiThreadGate gate(&context);
    std::atomic<int> result{0};
    std::atomic<bool> ran{false};
    std::thread worker([&] { result = gate.Call<int>([&] { ran = true; return 1; }, -1); });
    // The GUI thread does not run its events: the worker waits until the gate closes.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    gate.Close();
    worker.join();
    EXPECT_EQ(result, -1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);  // a call handed over before the close does not run after it
    bool lateRun = true;
    std::thread late([&] { lateRun = gate.Run([] {}); });
    late.join();
    EXPECT_FALSE(lateRun);
    EXPECT_EQ(gate.Call<int>([] { return 3; }, -2), 3);  // the GUI thread itself still runs
}
