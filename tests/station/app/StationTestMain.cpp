// Runs the station's screen tests on the offscreen platform: windows are
// real Qt windows with real key events, but nothing appears on a display.
// The screen is the smallest the station supports, 800x600, unless
// MW_TEST_SCREEN names another of tests/support (a test run again on it).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

// Defined by SingleCopyTest.cpp: the helper process of the single-copy tests.
int RunSingleCopyHelper(int argc, char** argv);

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--single-copy-helper") == 0) {
        return RunSingleCopyHelper(argc, argv);
    }
    const QByteArray screen = qEnvironmentVariableIsSet("MW_TEST_SCREEN")
                                  ? qgetenv("MW_TEST_SCREEN")
                                  : QByteArray("800x600");
    qputenv("QT_QPA_PLATFORM",
            "offscreen:configfile=" MW_SOURCE_DIR "/tests/support/offscreen-" + screen + ".json");
    QApplication app(argc, argv);
    // A test that ends the station closes its main window; the tests go on.
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
