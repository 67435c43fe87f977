// The main of every Qt Widgets test binary: one QApplication on the offscreen platform, with the
// settings store and the conversation endpoints in private folders, so test runs side by side
// never share settings or hand each other files. Dates are formatted in a fixed zone unless the
// caller chose one.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir config;
    QTemporaryDir runtime;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    setenv("TZ", "Europe/Berlin", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
