#pragma once
// The Preferences sheet run on its own through the scripted dialog seam, over settings that start
// empty and are removed again after each test.

#include <QString>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

#include "app/CPrefPropertySheet.h"
#include "framework/ScriptedDialogHost.h"
#include "framework/Settings.h"

namespace tessarel::test {

// The control of a page by its id (its object name); a missing one fails the test.
template <typename W>
W* Control(QWidget& page, int id) {
    W* widget = page.findChild<W*>(QString::number(id));
    EXPECT_NE(widget, nullptr) << id;
    return widget;
}

inline CPrefPropertySheet& Sheet(Dialog& dialog) { return dynamic_cast<CPrefPropertySheet&>(dialog); }

class PrefSheetFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // The settings are the test run's own, never the person's.
        ASSERT_TRUE(SettingsFilePath().startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))));
        RemoveAllSettings();
    }
    void TearDown() override { RemoveAllSettings(); }

    // Runs the Preferences sheet with `script`, which gets the sheet and returns how it is closed;
    // returns the dialog result.
    int RunSheet(std::function<int(CPrefPropertySheet&)> script) {
        host.RunDialog([script = std::move(script)](Dialog& dialog) { return script(Sheet(dialog)); });
        return CPrefPropertySheet::Run(nullptr);
    }

    ScriptedDialogHost host;
};

}  // namespace tessarel::test
