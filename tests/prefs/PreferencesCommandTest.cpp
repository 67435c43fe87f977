// The frame's Preferences command runs the sheet over the stored settings.
#include <gtest/gtest.h>

#include "../app/AppFixture.h"
#include "app/CPrefPropertySheet.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {

class PreferencesCommandTest : public AppFixture {};

TEST_F(PreferencesCommandTest, RunsTheSheetAndStoresOnOk) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Enabled(res::Preferences));
    dialogs->RunDialog([](Dialog&) { return int(QDialog::Rejected); });
    app->ExecuteCommand(res::Preferences);
    EXPECT_FALSE(SettingExists(setting::PrintAtm));
    dialogs->RunDialog([](Dialog&) { return int(QDialog::Accepted); });
    app->ExecuteCommand(res::Preferences);
    EXPECT_TRUE(SettingExists(setting::PrintAtm));
    EXPECT_EQ(ReadInt(setting::PrintAtm), 0);
    const auto& events = dialogs->Events();
    ASSERT_EQ(events.size(), 2u);
    for (const auto& event : events) {
        EXPECT_EQ(event.dialogClass, "tessarel::CPrefPropertySheet");
        EXPECT_EQ(event.dialogTitle, "Preferences");
    }
    EXPECT_TRUE(dialogs->Problems().isEmpty());
}

}  // namespace tessarel::test
