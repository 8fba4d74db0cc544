// Widget tests run inside one QApplication that outlives every test.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char **argv)
{
    // Also when CTest lists the tests, which runs without the test
    // environment, and without a display even for the display tests.
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    if (listing || qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
