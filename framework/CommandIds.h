#pragma once
// The framework's standard command ids. Menus, toolbars and accelerators name commands by these
// numbers; the program's own ids live with its resources.

namespace tessarel::cmd {

inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileClose = 57602;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int FilePageSetup = 57605;
inline constexpr int FilePrintSetup = 57606;
inline constexpr int FilePrint = 57607;
inline constexpr int FilePrintDirect = 57608;  // print without the dialog (the shell's print requests)
inline constexpr int FilePrintPreview = 57609;
inline constexpr int FileMruFirst = 57616;  // "Recent File": the entries take 57616 to 57619
inline constexpr int FileMruLast = 57619;
inline constexpr int EditCopy = 57634;
inline constexpr int EditCut = 57635;
inline constexpr int EditFind = 57636;
inline constexpr int EditPaste = 57637;
inline constexpr int EditUndo = 57643;
inline constexpr int WindowArrange = 57649;
inline constexpr int AppAbout = 57664;
inline constexpr int AppExit = 57665;
inline constexpr int ContextHelp = 57669;
inline constexpr int Help = 57670;
inline constexpr int NextPane = 57680;
inline constexpr int PrevPane = 57681;
inline constexpr int ViewToolbar = 59392;
inline constexpr int ViewStatusBar = 59393;

inline constexpr int kRecentFileCount = 4;

}  // namespace tessarel::cmd
