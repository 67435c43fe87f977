#pragma once
// Our namespace provider over the file system, in place of the desktop shell: the top level (the
// user's home and the file system root), and the items of one folder with what the file list
// shows of them. Listing reads one folder only, never below it.

#include <QDateTime>
#include <QString>
#include <vector>

#include "CPidl.h"

namespace tessarel {

struct CShellEntry {
    CPidl item;
    qint64 size = 0;        // files only
    QDateTime modified;     // files only; invalid when the file system does not tell
};

class CShellNamespace {
public:
    // The children of our "desktop": the home folder and the root of the file system.
    static std::vector<CPidl> TopLevel();
    // The items of `folder` in enumeration order (names, case ignored); hidden items are left
    // out as the desktop leaves them out. A folder that cannot be read gives what it gave.
    static std::vector<CShellEntry> Enumerate(const CPidl& folder, bool foldersOnly);
    // Whether `folder` holds at least one folder; stops at the first one found.
    static bool HasSubfolders(const CPidl& folder);
};

}  // namespace tessarel
