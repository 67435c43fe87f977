#pragma once
// The program's own resource numbers: menus, toolbars, icons, bitmaps, dialogs, controls and the
// command ids of its menus, toolbars and accelerators. The framework's standard ids are in
// framework/CommandIds.h.

namespace tessarel::res {

// Menus and templates
inline constexpr int MenuMain = 128;          // no document open
inline constexpr int MenuPlainCard = 129;     // plain card files
inline constexpr int MenuFileView = 155;      // file encryption view
inline constexpr int MenuEncryptedCard = 200;  // encrypted card files

// Toolbars and bitmaps
inline constexpr int ToolbarMain = 128;
inline constexpr int ToolbarFile = 158;
inline constexpr int BitmapEncryptedToolbar = 146;
inline constexpr int BitmapSplash = 180;
inline constexpr int BitmapPreferences = 157;
inline constexpr int BitmapAboutMail = 211;
inline constexpr int BitmapAboutLogo = 212;

// Icons
inline constexpr int IconProgram = 128;
inline constexpr int IconPlainCard = 129;
inline constexpr int IconFileView = 155;
inline constexpr int IconEncryptedCard = 200;
inline constexpr int IconNotEncrypted = 143;
inline constexpr int IconEncrypted = 181;
inline constexpr int IconCard = 145;
inline constexpr int IconReveal = 151;
inline constexpr int IconKey = 167;
inline constexpr int IconUrl = 211;

// Dialogs and their controls
inline constexpr int DialogStatusBar = 102;
inline constexpr int DialogFoldersBar = 212;
inline constexpr int DialogAbout = 100;
inline constexpr int DialogDecryptPassword = 184;
inline constexpr int DialogEncryptOnSave = 161;
inline constexpr int DialogAboutKeys = 160;
inline constexpr int ControlCardsInCategory = 1021;
inline constexpr int ControlTotalCards = 1023;
inline constexpr int ControlSaveStatusIcon = 1068;
inline constexpr int ControlSaveStatusText = 1110;
inline constexpr int ControlDecryptPassword = 1071;
inline constexpr int ControlReveal = 1061;
inline constexpr int ControlEncryptPassword = 1002;
inline constexpr int ControlEncryptConfirm = 1003;
inline constexpr int ControlEncryptFlag = 1046;
inline constexpr int ControlEncryptReveal = 1049;
inline constexpr int ControlAboutKeys = 1048;
inline constexpr int ControlImportantText = 1050;
inline constexpr int ControlHomePage = 1064;
inline constexpr int DialogStatusMessage = 138;      // the browser commands' "Message" window
inline constexpr int ControlStatusMessageText = 1005;

// The card views and card dialogs
inline constexpr int IconCategoryCollapsed = 142;
inline constexpr int IconCategoryExpanded = 144;
inline constexpr int DialogCard = 141;
inline constexpr int DialogFindCard = 159;
inline constexpr int DialogEditUrl = 178;
inline constexpr int DialogNote = 132;
inline constexpr int ControlCardName = 1013;
inline constexpr int ControlCardField2 = 1014;
inline constexpr int ControlCardField3 = 1015;
inline constexpr int ControlCardPassword = 1016;
inline constexpr int ControlCardNote = 1012;
inline constexpr int ControlCardCategory = 1044;
inline constexpr int ControlNewBrowserWindow = 1070;
inline constexpr int ControlAutomaticAccess = 1069;
inline constexpr int ControlCardLabel1 = 1017;  // labels 1017 to 1020
inline constexpr int ControlUrlButton = 1118;
inline constexpr int ControlSearchText = 1038;
inline constexpr int ControlIgnoreCase = 1045;
inline constexpr int ControlFind = 1041;
inline constexpr int ControlFindAgain = 1042;
inline constexpr int ControlUrlText = 1063;
inline constexpr int ControlNoteText = 1005;

// Commands of the program
inline constexpr int AddCardButton = 1009;
inline constexpr int NewCard = 32808;
inline constexpr int DeleteCardButton = 1010;
inline constexpr int DeleteCard = 32809;
inline constexpr int UpdateCardButton = 32794;
inline constexpr int EditCard = 32814;
inline constexpr int FirstCard = 32812;
inline constexpr int LastCard = 32813;
inline constexpr int FindButton = 32803;
inline constexpr int CopyPasswordButton = 32830;
inline constexpr int Preferences = 32827;
inline constexpr int PrintPreview = 32804;
inline constexpr int LaunchWww = 32780;
inline constexpr int LaunchBrowserButton = 1005;
inline constexpr int LaunchEmail = 32781;
inline constexpr int LaunchLogin = 32782;
inline constexpr int LaunchNews = 32783;
inline constexpr int LaunchFtp = 32826;
inline constexpr int LoadWebPage = 32819;
inline constexpr int LoadInBrowserButton = 32822;
inline constexpr int GetWebPage = 32820;
inline constexpr int GetFromBrowserButton = 32821;
inline constexpr int OnlineDocumentation = 32818;
inline constexpr int HelpReader = 32829;
inline constexpr int HomePage = 32777;
inline constexpr int FileView = 32778;
inline constexpr int FileEncryptionButton = 32792;
inline constexpr int CardViewMenu = 32796;
inline constexpr int CardViewButton = 32790;
inline constexpr int EncryptFileMenu = 32784;
inline constexpr int EncryptFileButton = 32788;
inline constexpr int DecryptFileMenu = 32786;
inline constexpr int DecryptFileButton = 32789;
inline constexpr int SetPasswordMenu = 32785;
inline constexpr int SetPasswordButton = 32787;
inline constexpr int ClearPasswordMenu = 32797;
inline constexpr int ClearPasswordButton = 32795;
inline constexpr int AllFilesButton = 32800;
inline constexpr int ShowEncryptedButton = 32798;
inline constexpr int AllFilesMenu = 32840;
inline constexpr int EncryptedFilesMenu = 32841;
inline constexpr int EncryptOnSave = 32828;
inline constexpr int EncryptOnSaveButton = 1013;
inline constexpr int StandardView = 32779;
inline constexpr int FindAgain = 1042;
inline constexpr int OpenNewWindow = 32772;
inline constexpr int AutomaticAccess = 32773;

// The Encrypt On Save button's place on the main toolbar and its plain picture.
inline constexpr int EncryptButtonIndex = 3;
inline constexpr int EncryptButtonImage = 3;

// File > Import... and its dialog: numbers of our own.
inline constexpr int ImportCards = 33301;
inline constexpr int DialogImport = 330;
// Strong encryption: the sealed card file's template (its menu and icon) and the Encrypt On Save
// dialog's check box that chooses it.
inline constexpr int MenuSealedCard = 201;
inline constexpr int IconSealedCard = 201;
inline constexpr int ControlStrongEncryption = 1051;
// Card > Generate Password… and the generator's dialog: numbers of our own.
inline constexpr int GeneratePassword = 34010;
inline constexpr int DialogPasswordGenerator = 340;
// Card > Password Report... and the quick filter's Ctrl+K: numbers of our own.
inline constexpr int ShowPasswordReport = 34020;
inline constexpr int FocusQuickFilter = 34021;
// Locking encrypted card files (File > Lock), and the Preferences sheet's "Security" page.
inline constexpr int LockCommand = 34001;
inline constexpr int DialogSecurityPage = 331;
inline constexpr int ControlClearClipboardSeconds = 1201;
inline constexpr int ControlLockAfterMinutes = 1202;
inline constexpr int ControlLockWithSession = 1203;
inline constexpr int ControlUnlockPassword = 1204;
inline constexpr int ControlUnlockButton = 1205;

}  // namespace tessarel::res
