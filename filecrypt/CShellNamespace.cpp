#include "CShellNamespace.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>

namespace tessarel {

std::vector<CPidl> CShellNamespace::TopLevel() {
    const QString home = QDir::homePath();
    const QString root = QDir::rootPath();
    std::vector<CPidl> items;
    if (home != root) items.emplace_back(QString(), home, true, QFileInfo(home).fileName());
    items.emplace_back(QString(), root, true, root);
    return items;
}

std::vector<CShellEntry> CShellNamespace::Enumerate(const CPidl& folder, bool foldersOnly) {
    // One pass over the directory, then one sort on a folded key made once per entry: sorting
    // through QDir compares case-folded copies on every comparison, which is slow for large folders.
    struct Found {
        QString key;
        QFileInfo info;
    };
    std::vector<Found> found;
    QDirIterator it(folder.ParsingPath(), (foldersOnly ? QDir::Dirs : QDir::AllEntries) | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        QFileInfo info = it.fileInfo();
        found.push_back(Found{info.fileName().toCaseFolded(), std::move(info)});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.key != b.key) return a.key < b.key;
        return a.info.fileName() < b.info.fileName();
    });
    std::vector<CShellEntry> entries;
    entries.reserve(found.size());
    for (const Found& each : found) {
        const QFileInfo& info = each.info;
        const bool isFolder = info.isDir();
        CShellEntry entry{folder.Child(info.fileName(), isFolder), 0, {}};
        if (!isFolder) {
            entry.size = info.size();
            entry.modified = info.lastModified().toUTC();
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool CShellNamespace::HasSubfolders(const CPidl& folder) {
    QDirIterator it(folder.ParsingPath(), QDir::Dirs | QDir::NoDotAndDotDot);
    return it.hasNext();
}

}  // namespace tessarel
