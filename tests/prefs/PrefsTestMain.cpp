// The preferences tests: one QApplication on the offscreen platform, settings and the running
// application's conversation endpoints in private folders.
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
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
