#pragma once
// The program's one top-level window: menus, the two toolbars, the status bar, the status dialog
// bar and the "Folders:" bar, the accelerators, the command table with its enabling rules, the
// automatic-save timer, and the state that views and commands share.

#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "cardstore/document/CardDocumentHost.h"
#include "filecrypt/FileEncryptionState.h"
#include "framework/MdiFrame.h"
#include "views/CardViewHost.h"

class QLabel;
class QTimer;
class QToolBar;

namespace tessarel {

class CCard;
class CCardDlg;
class CTessarelDoc;
class CTessarelView;
class QuickFilterBar;
class LockController;
class CTessarelListView;

// Where an add operation kept a card: the card, its category code and its index in that list.
struct CardPlace {
    CCard* card = nullptr;
    int code = -1;
    int index = -1;
};

class CMainFrame : public MdiFrame, public CardViewHost, public CardDocumentHost {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // The frame of this process, or nullptr before it exists.
    static CMainFrame* Instance();

    // Builds the bars, menus and accelerators in the order of window creation; false when a
    // part of it cannot be made.
    bool Create();

    // What runs the Preferences sheet: the application hands it in, so the frame knows no page of it.
    using PreferencesRunner = std::function<void(QWidget* owner)>;
    void SetPreferencesRunner(PreferencesRunner runner) { preferencesRunner = std::move(runner); }

    // --- operations for the views (CardViewHost), the documents and the commands -----------
    void SetCardSelectedFlag(std::uint8_t flag) override;
    std::uint8_t GetCardSelectedFlag() const { return cardSelected; }
    void SetSelectedCardIndex(int index) override { selectedCardIndex = index; }
    int GetSelectedCardIndex() const override { return selectedCardIndex; }
    void ShowCardCounts(int inCategory, int cardNumber, int total) override;
    void ShowCardCountTexts(const QString& inCategory, const QString& total) override;
    void ShowSaveStatus(int flag);
    // The status bar's save status and the Encrypt On Save button's picture together.
    void ShowFileProtection(int protection) override;
    bool HasActiveCardDocument() const override { return ActiveCardDocument() != nullptr; }
    void EditSelectedCard() override { OnEditCard(); }
    // The Printing page's two choices as Print uses them: read at start-up and after Preferences.
    PrintOptions CurrentPrintOptions() const override { return printOptions; }
    void SetPrintOptions(PrintOptions options) { printOptions = options; }
    void WhenActiveChildChanges(QObject* context, std::function<void(ChildFrame*)> handler) override;
    QWidget* GetStatusBarItem(int controlId) const;
    int GetEncryptedImageIndex() const { return encryptedImageIndex; }
    void SetMainToolbarButton(int buttonIndex, int commandId, int imageIndex);
    void RestoreCardBars() override;
    void StartAutoSaveTimer(int minutesPerTick) override;
    void RunStartupLaunches();
    void LoadCachedSettings();

    // One tick of the automatic-save timer (public so that tests can drive it).
    void OnAutoSaveTick();
    int AutoSaveTicks() const { return autoSaveTicks; }
    int AutoSaveMinutes() const { return autoSaveMinutes; }
    int AutoSaveInterval() const;  // the timer's period in milliseconds, 0 when stopped

    QToolBar* MainToolbar() const { return mainToolbar; }
    QToolBar* FileToolbar() const { return fileToolbar; }
    QToolBar* StatusDialogBar() const { return statusDialogBar; }
    QToolBar* FoldersBar() const { return foldersBar; }

    // The document of the active card window, if any.
    CTessarelDoc* ActiveCardDocument() const;

    // --- the file encryption view (CMainFrameFileView.cpp) --------------------------------
    // Opens a new file encryption window on the active window's document.
    bool EnterFileView();
    // Card View: closes the active file encryption window; nothing outside the view.
    void LeaveFileView();
    void SetFilePassword();
    void ClearFilePassword();
    void EncryptSelectedFile();
    void DecryptSelectedFile();
    // Lists the current folder of every file encryption window again.
    void RefreshFileLists();
    // The window of a "~~~" file opened as a document: enters the view with it.
    void EnterOpenedFileView(class CChildFrmFileView* window);
    void OnFileViewWindowGone();
    // Whether the Set Password button shows its password-set picture.
    bool PasswordImageShown() const;

    // --- printing (CMainFramePrint.cpp) -----------------------------------------------------
    // The frame's Print Preview: hides the status dialog bar and the main toolbar, then the card
    // window's preview runs (RestoreCardBars shows them again when it ends).
    void OnPrintPreview();
    // The category tree of the active card window, if any.
    class CTessarelView* ActiveCardTree() const;

    // --- card list operations and card commands (CMainFrameCards.cpp) -------------------------
    int CategoryCodeOf(const QString& name) const;
    QString CategoryNameOf(int code) const override;
    // Appends `card` to the category's list and says where it was kept; nullopt (the card is let
    // go) when the category has no list (by name: when it is not one a card may be added to).
    std::optional<CardPlace> AddCardToCategory(CTessarelDoc& doc, int code, std::unique_ptr<CCard> card);
    std::optional<CardPlace> AddCardByName(CTessarelDoc& doc, const QString& name, std::unique_ptr<CCard> card);
    // Takes the card at `index` out of the named category's list and hands it back (empty when
    // the name or the index is outside).
    std::unique_ptr<CCard> RemoveCardAt(CTessarelDoc& doc, const QString& name, int index);
    void StoreCard(CTessarelDoc& doc, const QString& name, const CCard& card, int index) override;
    void AddToDeleted(CTessarelDoc& doc, std::unique_ptr<CCard> card);
    // The category's four field labels into the card dialog.
    void FillCardDialogLabels(CCardDlg& dialog, const CTessarelDoc& doc, const QString& category) const;
    // A new card from a filled card dialog (texts, category, browser flags; no date yet); null after
    // the refusal message when a text holds a character a card cannot store, or the category is unknown.
    std::unique_ptr<CCard> CardFromDialog(const CCardDlg& dialog) const;
    void OnNewCard();
    void OnDeleteCard();
    void OnEditCard();
    void OnFirstOrLastCard(int flag);
    void OnFind();
    void OnCopyPassword();
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    // The card clipboard of Copy, Cut and Paste in the category tree: a copy of the card last
    // copied or cut (it belongs to the clipboard, so Paste works after the card's file has
    // closed), whether anything was copied or cut (Paste's enabling rule), and whether by Cut.
    struct CardClipboard {
        std::unique_ptr<CCard> card;
        int full = 0;
        int cut = 0;
    };
    const CardClipboard& GetCardClipboard() const { return cardClipboard; }
    // Whether Paste has something to paste (also set by a Copy or Cut in the field list).
    void SetClipboardFull(int full) { cardClipboard.full = full; }
    // Forgets the copied card (its texts are wiped with it): Paste has nothing afterwards.
    void EmptyCardClipboard();
    // The open Find Card dialog, if any (at most one exists).
    QWidget* FindDialog() const { return findDialog; }
    // Puts card bytes on the system clipboard as plain text.
    void PlaceTextOnClipboard(std::string_view bytes);
    // Puts a password there, marked secret and cleared after a while (PasswordClipboard.h).
    void PlacePasswordOnClipboard(std::string_view bytes);
    // The field list's clicked row: the password row as a password, any other as plain text.
    void PlaceClickedRowOnClipboard(const CTessarelListView& list);

    // --- File > Import... (CMainFrameImport.cpp) ----------------------------------------------
    void OnImport();

    // --- Card > Generate Password… (CMainFrameGenerator.cpp) ----------------------------------
    // The generator on its own: Copy puts the password on the Clipboard.
    void OnGeneratePassword();
    // --- Password Report and the quick filter (CMainFramePasswordTools.cpp) -------------------
    void OnPasswordReport();
    QuickFilterBar* QuickFilterToolbar() const { return quickFilterBar; }
    // --- File > Lock, the idle lock and the session lock (CMainFrameLock.cpp) -----------------
    LockController& Locks() const { return *locks; }

    // --- browser and helper applications (CMainFrameBrowser.cpp) -----------------------------
    // The product's pages on the web (Help menu, About dialog).
    static constexpr const char* kHomePageAddress = "https://tessarel.corvale.example/";
    static constexpr const char* kOnlineGuideAddress = "https://tessarel.corvale.example/guide/";
    // helperPaths, by index.
    enum HelperPath { NetscapePath = 0, ExplorerPath, MailPath, NewsPath, FtpPath, HelpPath, TelnetPath };
    const QString& HelperPathOf(HelperPath which) const { return helperPaths[static_cast<std::size_t>(which)]; }
    void SetHelperPath(HelperPath which, const QString& path) { helperPaths[static_cast<std::size_t>(which)] = path; }
    void LaunchBrowser();
    // Starts the helper program of a path, run as a command line; the result is not checked.
    void StartHelperProgram(HelperPath which);
    void StartHelpReader();
    void OpenAddressInBrowser(std::string_view address);
    void LoadWebPage();
    void GetWebPage();
    void DetectBrowsers();
    // How the browser commands wait while a browser starts. The program blocks for the time
    // given; tests put in a wait of their own so that nothing sleeps.
    using BrowserWait = std::function<void(int milliseconds)>;
    void SetBrowserWait(BrowserWait wait) { browserWait = std::move(wait); }
    // The companion browser DetectBrowsers looks for: tessarel-browserd beside the program,
    // unless a path was set (tests).
    static QString BrowserCompanionPath();
    static void SetBrowserCompanionPath(const QString& path);
    // The "Message" window of a browser command waiting for its browser (null when none).
    QWidget* StatusMessageWindow() const { return statusMessage; }

    // The file encryption tool's password, selection, filter and mode, which its windows share;
    // cleared with the frame.
    CFileEncryptionState& FileEncryption() { return fileEncryption; }

protected:
    void OnChildActivated(ChildFrame* child) override;

private:
    CFileEncryptionState fileEncryption;
    void RegisterFileViewCommands();
    void OfferFilePassword();
    void ShowPasswordImage();
    void FollowActiveWindow();
    void BuildMenus();
    QToolBar* BuildToolbar(int toolbarId, const QString& title);
    void BuildStatusBar();
    QToolBar* BuildStatusDialogBar();
    QToolBar* BuildFoldersBar();
    void BuildAccelerators();
    void RegisterCommandTable();
    void CenterOnScreen();
    void RegisterCardCommands();
    void RegisterPrintCommands();
    void RegisterBrowserCommands();
    void RegisterImportCommand();
    void RegisterGeneratorCommand();
    void RegisterPasswordTools();
    QuickFilterBar* BuildQuickFilterBar();
    void ApplyQuickFilter();
    // While the quick filter narrows the active tree, its "n of m" counts are the ones shown.
    bool ShowFilteredCardCounts();
    void RegisterLockCommand();
    void WaitForBrowser(const char* launchingText);
    void CloseStatusMessage();
    // The "Message" window with a notice that stays until the person closes it (or the next
    // browser command does).
    void ShowMessageWindow(const QString& text);

    std::uint8_t cardSelected = 0;
    int selectedCardIndex = -1;
    int autoSaveMinutes = 0;
    int autoSaveTicks = 0;
    int encryptedImageIndex = 0;
    QToolBar* mainToolbar = nullptr;
    QToolBar* fileToolbar = nullptr;
    QToolBar* statusDialogBar = nullptr;
    QToolBar* foldersBar = nullptr;
    std::vector<QIcon> toolbarImages;
    QTimer* autoSaveTimer;
    LockController* locks = nullptr;
    BrowserWait browserWait;
    QPointer<QWidget> statusMessage;
    PreferencesRunner preferencesRunner;
    // The helper programs' paths, by HelperPath: read at start-up, browsers found at the first.
    std::array<QString, 7> helperPaths;
    PrintOptions printOptions;
    CardClipboard cardClipboard;
    QPointer<QWidget> findDialog;
    static constexpr int kCreationWidth = 650;
    static constexpr int kCreationHeight = 480;
    QuickFilterBar* quickFilterBar = nullptr;
    QPointer<CTessarelView> filteredTree;
};

}  // namespace tessarel
