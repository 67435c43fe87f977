#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

#include "framework/Settings.h"

namespace tessarel {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings("Corvale", "Tessarel").clear(); }
};

TEST_F(SettingsTest, MissingValuesReadAsTheTablesDefaults) {
    EXPECT_EQ(ReadInt(setting::ChooseWebBrowser), 1);
    EXPECT_EQ(ReadInt(setting::AutomaticSaveCheck), 0);
    EXPECT_EQ(ReadText(setting::AutomaticSave), "10");
    EXPECT_EQ(ReadInt(setting::PrintAtm), 1);
    EXPECT_EQ(ReadInt(setting::LaunchEmail), 0);
    EXPECT_EQ(ReadInt(setting::PrintAtm, 0), 0) << "a reader may name its own default";
}

TEST_F(SettingsTest, ValuesLiveInTheirSectionUnderTheCompanyAndProgram) {
    WriteInt(setting::LaunchEmail, 1);
    WriteText(setting::AutomaticSave, "3");
    QSettings store("Corvale", "Tessarel");
    EXPECT_EQ(store.value("Start Up Preferences/Print Notes").toInt(), 1);
    EXPECT_FALSE(store.contains("Print Preferences/Print Notes")) << "the two keys of that name stay apart";
    EXPECT_EQ(ReadInt(setting::PrintNotes), 1);
    EXPECT_EQ(ReadText(setting::AutomaticSave), "3");
    store.setValue("Internet Preferences/Date Format", "garbage");
    EXPECT_EQ(ReadInt(setting::DateFormat), 0) << "an unreadable value yields the default";
}

TEST_F(SettingsTest, RemovingAllDeletesTheStore) {
    WriteInt(setting::CheckOpenFiles, 1);
    QString path = SettingsFilePath();
    ASSERT_TRUE(QFile::exists(path));
    RemoveAllSettings();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(ReadInt(setting::CheckOpenFiles), 0);
}

TEST_F(SettingsTest, EveryRowIsUniqueAndTyped) {
    const auto& rows = AllSettings();
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = i + 1; j < rows.size(); ++j)
            EXPECT_FALSE(std::string(rows[i]->section) == rows[j]->section && std::string(rows[i]->key) == rows[j]->key)
                << rows[i]->section << "/" << rows[i]->key;
}

}  // namespace
}  // namespace tessarel
