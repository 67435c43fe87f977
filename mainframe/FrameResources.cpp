#include "FrameResources.h"

#include <map>

#include "framework/CommandIds.h"
#include "resources/ResourceIds.h"

namespace tessarel {

namespace {

using namespace res;

std::vector<MenuDefinition> CardMenu(bool encrypted) {
    std::vector<MenuItem> view{{cmd::ViewToolbar, "&Toolbar"}, {cmd::ViewStatusBar, "&Status Bar"}};
    if (!encrypted) view.push_back({FileView, "File View"});
    return {
        {"&File",
         {{cmd::FileNew, "&New\tAlt+N"},
          {cmd::FileOpen, "&Open...\tCtrl+O"},
          {cmd::FileClose, "&Close"},
          {cmd::FileSave, "&Save\tCtrl+S"},
          {cmd::FileSaveAs, "Save &As..."},
          {EncryptOnSave, "Encrypt On &Save...\tAlt+S"},
          {ImportCards, "&Import..."},
          {LockCommand, "&Lock\tCtrl+L"},
          {0, ""},
          {cmd::FilePrint, "&Print...\tCtrl+P"},
          {PrintPreview, "Print Pre&view"},
          {cmd::FilePrintSetup, "P&rint Setup..."},
          {0, ""},
          {cmd::FileMruFirst, "Recent File"},
          {0, ""},
          {cmd::AppExit, "E&xit"}}},
        {"&Edit",
         {{cmd::EditUndo, "&Undo\tCtrl+Z"},
          {0, ""},
          {cmd::EditCut, "Cu&t\tCtrl+X"},
          {cmd::EditCopy, "&Copy\tCtrl+C"},
          {cmd::EditPaste, "&Paste\tCtrl+V"},
          {0, ""},
          {cmd::EditFind, "&Find...\tCtrl+F "},
          {0, ""},
          {Preferences, "Preferences...\tAlt+P"}}},
        {encrypted ? "Card" : "&Card",
         {{NewCard, "&New Card\tCtrl+N "},
          {DeleteCard, "&Delete Card\tCtrl+D"},
          {EditCard, "&Edit Card\tCtrl+E "},
          {0, ""},
          {FirstCard, "First Card"},
          {LastCard, "Last Card"},
          {0, ""},
          {GeneratePassword, "&Generate Password\u2026"},
          {ShowPasswordReport, "Password &Report..."}}},
        {encrypted ? "Internet" : "&Internet",
         {{LaunchWww, "Launch WWW"},
          {LaunchEmail, "Launch E-Mail"},
          {LaunchLogin, "Launch Login"},
          {LaunchNews, "Launch News"},
          {LaunchFtp, "Launch FTP"},
          {0, ""},
          {LoadWebPage, "Load Web Page\tCtrl+W "},
          {GetWebPage, "Get Web Page\tAlt+W "}}},
        {"&View", view},
        {"&Window", {{cmd::WindowArrange, "&Arrange Icons"}}},
        {"&Help",
         {{OnlineDocumentation, "Online Documentation"},
          {encrypted ? OnlineDocumentation : HelpReader, "Help Reader"},
          {HomePage, "Tessarel Home Page"},
          {0, ""},
          {cmd::AppAbout, "&About Tessarel..."}}},
    };
}

}  // namespace

const std::vector<MenuDefinition>& MenuResource(int menuId) {
    static const std::map<int, std::vector<MenuDefinition>> menus{
        {MenuMain,
         {{"&File",
           {{cmd::FileNew, "&New\tAlt+N"},
            {cmd::FileOpen, "&Open...\tCtrl+O"},
            {ImportCards, "&Import..."},
            {cmd::FilePrintSetup, "P&rint Setup..."},
            {0, ""},
            {cmd::FileMruFirst, "Recent File"},
            {0, ""},
            {cmd::AppExit, "E&xit"}}},
          {"&View", {{cmd::ViewToolbar, "&Toolbar"}, {cmd::ViewStatusBar, "&Status Bar"}, {StandardView, "Standard View"}}},
          {"&Help", {{cmd::AppAbout, "&About Tessarel..."}}}}},
        {MenuPlainCard, CardMenu(false)},
        {MenuEncryptedCard, CardMenu(true)},
        {MenuSealedCard, CardMenu(true)},
        {MenuFileView,
         {{"&File", {{EncryptFileMenu, "Encrypt File"}, {DecryptFileMenu, "Decrypt File"}, {0, ""}, {cmd::AppExit, "E&xit"}}},
          {"&Encryption", {{SetPasswordMenu, "Set Password..."}, {ClearPasswordMenu, "Clear Password"}}},
          {"&View", {{CardViewMenu, "Card View"}, {0, ""}, {AllFilesMenu, "All Files"}, {EncryptedFilesMenu, "Encrypted Files"}}}}},
    };
    static const std::vector<MenuDefinition> none;
    auto found = menus.find(menuId);
    return found == menus.end() ? none : found->second;
}

const std::vector<ToolbarButton>& ToolbarResource(int toolbarId) {
    static const std::vector<ToolbarButton> main{
        {cmd::FileNew, "New"},           {cmd::FileOpen, "Open"},
        {cmd::FileSave, "Save"},         {EncryptOnSaveButton, "Encrypt File"},
        {0, ""},                         {CopyPasswordButton, "Copy to Clipboard"},
        {cmd::EditCut, "Cut"},           {cmd::EditPaste, "Paste"},
        {cmd::EditCopy, "Copy"},         {0, ""},
        {cmd::FilePrint, "Print"},       {0, ""},
        {LaunchBrowserButton, " Launch Browser"}, {0, ""},
        {LoadInBrowserButton, "Load in Browser"}, {GetFromBrowserButton, "Get from browser"},
        {0, ""},                         {AddCardButton, "Add Card"},
        {DeleteCardButton, "Delete Card"}, {UpdateCardButton, "Update Card"},
        {0, ""},                         {FindButton, "Find"},
        {0, ""},                         {FileEncryptionButton, "File Encryption"},
        {0, ""},                         {OnlineDocumentation, "Read Help"},
        {cmd::AppAbout, "About"}};
    static const std::vector<ToolbarButton> file{
        {SetPasswordButton, "Set Password"}, {ClearPasswordButton, "Clear Password"}, {0, ""},
        {EncryptFileButton, "Encrypt File"}, {DecryptFileButton, "Decrypt File"},     {0, ""},
        {ShowEncryptedButton, "Show Encrypted Files"}, {AllFilesButton, "All Files"}, {0, ""},
        {CardViewButton, "Card View"}};
    return toolbarId == ToolbarFile ? file : main;
}

const std::vector<Accelerator>& AcceleratorTable() {
    static const std::vector<Accelerator> table{
        {"Shift+A", cmd::FileSaveAs},      {"Ctrl+C", cmd::EditCopy},       {"Shift+C", cmd::FileClose},
        {"Ctrl+D", DeleteCard},            {"Ctrl+E", EditCard},            {"Ctrl+F", cmd::EditFind},
        {"Ctrl+G", FindAgain},             {"Ctrl+N", NewCard},             {"Alt+N", cmd::FileNew},
        {"Ctrl+O", cmd::FileOpen},         {"Ctrl+P", cmd::FilePrint},      {"Alt+P", Preferences},
        {"R", cmd::FilePrintSetup},        {"X", cmd::AppExit},             {"Ctrl+X", cmd::EditCut},
        {"Ctrl+S", cmd::FileSave},         {"Alt+S", EncryptOnSave},        {"V", PrintPreview},
        {"Ctrl+V", cmd::EditPaste},        {"Alt+Backspace", cmd::EditUndo}, {"Shift+Del", cmd::EditCut},
        {"F1", cmd::Help},                 {"Shift+F1", cmd::ContextHelp},  {"F6", cmd::NextPane},
        {"Shift+F6", cmd::PrevPane},       {"Ctrl+Ins", cmd::EditCopy},     {"Shift+Ins", cmd::EditPaste},
        {"Ctrl+W", LoadWebPage},           {"Ctrl+Shift+W", GetWebPage},    {"Ctrl+Z", cmd::EditUndo},
        {"Ctrl+L", LockCommand}};
    return table;
}

QString StatusText(int id) {
    static const std::map<int, const char*> texts{
        {AddCardButton, "Add a New Card To a Category"},
        {DeleteCardButton, "Delete a Card From a Category"},
        {UpdateCardButton, "Update a Card"},
        {FindButton, "Find string"},
        {CopyPasswordButton, "Copy selected string to Clipboard"},
        {LaunchBrowserButton, "Launch Web Browser "},
        {GetFromBrowserButton, "Get URL from browser"},
        {LoadInBrowserButton, "Load URL in Browser"},
        {FileEncryptionButton, "Go to File Encryption View"},
        {CardViewButton, "Go To Card View"},
        {SetPasswordButton, "Set the password for File Encryption"},
        {ClearPasswordButton, "Clear Password for File Encryption"},
        {EncryptFileButton, "Encrypt a File"},
        {DecryptFileButton, "Decrypt a File"},
        {ShowEncryptedButton, "Show Encrypted Files Only"},
        {AllFilesButton, "Show All Files"},
        {OnlineDocumentation, "Read Help File"},
        {ImportCards, "Import cards from another password manager's or a browser's export"},
        {GeneratePassword, "Make a random password or passphrase and copy it to the Clipboard"},
        {ShowPasswordReport, "List every password's strength, reuse and age"},
        {FocusQuickFilter, "Filter the category tree by name, address or user id (Ctrl+K)"},
        {LockCommand, "Lock the encrypted card files: their cards leave memory until the password is typed again"},
        // The framework's standard texts.
        {cmd::FileNew, "Create a new document"},
        {cmd::FileOpen, "Open an existing document"},
        {cmd::FileClose, "Close the active document"},
        {cmd::FileSave, "Save the active document"},
        {cmd::FileSaveAs, "Save the active document with a new name"},
        {cmd::FilePrint, "Print the active document"},
        {cmd::FilePrintSetup, "Change the printer and printing options"},
        {cmd::AppExit, "Quit the application; prompts to save documents"},
        {cmd::AppAbout, "Display program information, version number and copyright"},
        {cmd::EditCopy, "Copy the selection and put it on the Clipboard"},
        {cmd::EditCut, "Cut the selection and put it on the Clipboard"},
        {cmd::EditPaste, "Insert Clipboard contents"},
        {cmd::EditUndo, "Undo the last action"},
        {cmd::EditFind, "Find the specified text"},
        {cmd::ViewToolbar, "Show or hide the toolbar"},
        {cmd::ViewStatusBar, "Show or hide the status bar"},
        {cmd::WindowArrange, "Arrange icons at the bottom of the window"},
        {cmd::FileMruFirst, "Open this document"},
        {cmd::FileMruFirst + 1, "Open this document"},
        {cmd::FileMruFirst + 2, "Open this document"},
        {cmd::FileMruLast, "Open this document"},
    };
    auto found = texts.find(id);
    return found == texts.end() ? QString() : QString::fromLatin1(found->second);
}

}  // namespace tessarel
