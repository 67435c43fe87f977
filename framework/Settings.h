#pragma once
// The one table of stored settings and the only way to read and write them. Every reader passes
// through a row of the table, so a key, its section, its type and its default are written once.
// Values live in QSettings("Corvale", "Tessarel"), one group per section.

#include <QString>
#include <vector>

namespace tessarel {

enum class SettingType { Int, Text };

struct Setting {
    const char* section;
    const char* key;
    SettingType type;
    int intDefault;
    const char* textDefault;
};

namespace setting {
// Internet Preferences
inline constexpr Setting ChooseWebBrowser{"Internet Preferences", "Choose Web Browser", SettingType::Int, 1, ""};
inline constexpr Setting AutomaticSaveCheck{"Internet Preferences", "Automatic Save Check", SettingType::Int, 0, ""};
inline constexpr Setting AutomaticSave{"Internet Preferences", "Automatic Save", SettingType::Text, 0, "10"};
inline constexpr Setting DateFormat{"Internet Preferences", "Date Format", SettingType::Int, 0, ""};
inline constexpr Setting NetscapeFilePath{"Internet Preferences", "Netscape File Path", SettingType::Text, 0, ""};
inline constexpr Setting ExplorerFilePath{"Internet Preferences", "Explorer File Path", SettingType::Text, 0, ""};
inline constexpr Setting MailProgFilePath{"Internet Preferences", "MailProg File Path", SettingType::Text, 0, ""};
inline constexpr Setting NewsProgFilePath{"Internet Preferences", "NewsProg File Path", SettingType::Text, 0, ""};
inline constexpr Setting HelpProgFilePath{"Internet Preferences", "HelpProg File Path", SettingType::Text, 0, ""};
inline constexpr Setting FtpFilePath{"Internet Preferences", "FTP File Path", SettingType::Text, 0, ""};
inline constexpr Setting TelnetFilePath{"Internet Preferences", "Telnet File Path", SettingType::Text, 0, ""};
// Print Preferences
inline constexpr Setting PrintAtm{"Print Preferences", "Print ATM", SettingType::Int, 1, ""};
inline constexpr Setting PrintNotes{"Print Preferences", "Print Notes", SettingType::Int, 1, ""};
// Start Up Preferences ("Print Notes" here is the e-mail launch; the stored name is kept)
inline constexpr Setting LaunchEmail{"Start Up Preferences", "Print Notes", SettingType::Int, 0, ""};
inline constexpr Setting LaunchWebBrowser{"Start Up Preferences", "Launch Web Browser", SettingType::Int, 0, ""};
inline constexpr Setting LaunchFtp{"Start Up Preferences", "Launch FTP", SettingType::Int, 0, ""};
inline constexpr Setting LaunchTelnet{"Start Up Preferences", "Launch Tel Net", SettingType::Int, 0, ""};
inline constexpr Setting LaunchNewsReader{"Start Up Preferences", "Launch News Reader", SettingType::Int, 0, ""};
inline constexpr Setting CheckOpenFiles{"Start Up Preferences", "Check Open Files", SettingType::Int, 0, ""};
// The framework's own
inline constexpr Setting RecentFile1{"Recent File List", "File1", SettingType::Text, 0, ""};
inline constexpr Setting RecentFile2{"Recent File List", "File2", SettingType::Text, 0, ""};
inline constexpr Setting RecentFile3{"Recent File List", "File3", SettingType::Text, 0, ""};
inline constexpr Setting RecentFile4{"Recent File List", "File4", SettingType::Text, 0, ""};
inline constexpr Setting PreviewPages{"Settings", "PreviewPages", SettingType::Int, 0, ""};
// Marks that the first-start work (browser detection) has run for this user.
inline constexpr Setting FirstStartDone{"Settings", "First Start Done", SettingType::Int, 0, ""};
// Security
inline constexpr Setting ClearClipboardSeconds{"Security", "Clear Clipboard Seconds", SettingType::Int, 10, ""};
}  // namespace setting

// Every row, in table order.
const std::vector<const Setting*>& AllSettings();
// The row of "Recent File List"/"File<n>", n from 1 to 4.
const Setting& RecentFileSetting(int n);

// Organisation and application of the settings store; "Corvale"/"Tessarel" unless changed.
void SetSettingsOwner(const QString& organisation, const QString& application);

int ReadInt(const Setting& row);
// Same, with a default other than the table's (a reader that the table names as different).
int ReadInt(const Setting& row, int defaultValue);
QString ReadText(const Setting& row);
void WriteInt(const Setting& row, int value);
void WriteText(const Setting& row, const QString& value);
bool SettingExists(const Setting& row);
// Removes every stored value and the store itself (unregistering).
void RemoveAllSettings();
// Where the store lives on this platform (for tests and unregistering).
QString SettingsFilePath();

}  // namespace tessarel
