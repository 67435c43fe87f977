#include "CShellNamespace.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

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
    QDir dir(folder.ParsingPath());
    dir.setFilter((foldersOnly ? QDir::Dirs : QDir::AllEntries) | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    const QFileInfoList infos = dir.entryInfoList();
    std::vector<CShellEntry> entries;
    entries.reserve(static_cast<std::size_t>(infos.size()));
    for (const QFileInfo& info : infos) {
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
