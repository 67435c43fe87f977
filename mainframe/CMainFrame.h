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
#include <string_view>

#include "filecrypt/FileEncryptionState.h"
#include "framework/MdiFrame.h"

class QLabel;
class QTimer;
class QToolBar;

namespace tessarel {

class CCard;
class CCardDlg;
class CTessarelDoc;

class CMainFrame : public MdiFrame {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // The frame of this process, or nullptr before it exists.
    static CMainFrame* Instance();

    // Builds the bars, menus and accelerators in the order of window creation; false when a
    // part of it cannot be made.
    bool Create();

    // --- operations for the views and commands -------------------------------------------
    void SetCardSelectedFlag(std::uint8_t flag);
    std::uint8_t GetCardSelectedFlag() const { return cardSelected; }
    void SetSelectedCardIndex(int index) { selectedCardIndex = index; }
    int GetSelectedCardIndex() const { return selectedCardIndex; }
    void ShowCardCounts(int inCategory, int cardNumber, int total);
    void ShowSaveStatus(int flag);
    QWidget* GetStatusBarItem(int controlId) const;
    int GetEncryptedImageIndex() const { return encryptedImageIndex; }
    void SetMainToolbarButton(int buttonIndex, int commandId, int imageIndex);
    void RestoreCardBars();
    void StartAutoSaveTimer(int minutesPerTick);
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
    QString CategoryNameOf(int code) const;
    void AddCardToCategory(CTessarelDoc& doc, int code, std::unique_ptr<CCard> card);
    void AddCardByName(CTessarelDoc& doc, const QString& name, std::unique_ptr<CCard> card);
    // Takes the card at `index` out of the named category's list and hands it back (empty when
    // the name or the index is outside).
    std::unique_ptr<CCard> RemoveCardAt(CTessarelDoc& doc, const QString& name, int index);
    void StoreCard(CTessarelDoc& doc, const QString& name, const CCard& card, int index);
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
    // Puts card bytes on the system clipboard as plain text.
    void PlaceTextOnClipboard(std::string_view bytes);

    // --- File > Import... (CMainFrameImport.cpp) ----------------------------------------------
    void OnImport();

    // --- browser and helper applications (CMainFrameBrowser.cpp) -----------------------------
    // The product's pages on the web (Help menu, About dialog).
    static constexpr const char* kHomePageAddress = "https://tessarel.corvale.example/";
    static constexpr const char* kOnlineGuideAddress = "https://tessarel.corvale.example/guide/";
    // helperPaths, by index.
    enum HelperPath { NetscapePath = 0, ExplorerPath, MailPath, NewsPath, FtpPath, HelpPath, TelnetPath };
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

    // Shared state (names as the views and commands use them).
    std::array<QString, 7> helperPaths;
    std::array<QString, 17> categoryNames;
    QString fileMagic = QStringLiteral("QndlEncr");
    QString versionText = QStringLiteral("QuendalVersion2.0.0.0");
    int printAtm = 1;
    int printNotes = 1;
    QPointer<QWidget> findDialog;
    // A copy of the card last copied or cut in the category tree: it belongs to the clipboard, so
    // Paste works after the card's file has closed.
    std::unique_ptr<CCard> clipboardCard;
    int clipboardFull = 0;
    int clipboardCut = 0;
    int creationHeight = 480;
    int creationWidth = 650;
    // The file encryption tool's password, selection, filter and mode; cleared with the frame.
    CFileEncryptionState fileEncryption;

protected:
    void OnChildActivated(ChildFrame* child) override;

private:
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
    void Always(int id);
    void EnableWhen(int id, std::function<bool()> rule);
    void CenterOnScreen();
    void RegisterCardCommands();
    void RegisterPrintCommands();
    void RegisterBrowserCommands();
    void RegisterImportCommand();
    void WaitForBrowser(const char* launchingText);
    void CloseStatusMessage();

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
    BrowserWait browserWait;
    QPointer<QWidget> statusMessage;
};

}  // namespace tessarel
