#include <QApplication>
#include <gtest/gtest.h>

// Widget tests need one QApplication for the whole program, made before any
// widget and destroyed after the last.
int main(int argc, char **argv)
{
    // Listing the tests at build time runs this too, without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
