#include "RecentFileList.h"

#include <QFileInfo>

#include "Settings.h"

namespace tessarel {

RecentFileList::RecentFileList(int entriesKept) : size(entriesKept) {}

void RecentFileList::Load() {
    entries.clear();
    for (int n = 1; n <= size; ++n) {
        QString path = ReadText(RecentFileSetting(n));
        if (!path.isEmpty() && !entries.contains(path)) entries << path;
    }
}

void RecentFileList::Save() const {
    for (int n = 1; n <= size; ++n) WriteText(RecentFileSetting(n), At(n - 1));
}

void RecentFileList::Add(const QString& path) {
    QString full = QFileInfo(path).absoluteFilePath();
    entries.removeAll(full);
    entries.prepend(full);
    while (entries.size() > size) entries.removeLast();
}

void RecentFileList::Remove(int index) {
    if (index >= 0 && index < Count()) entries.removeAt(index);
}

QString RecentFileList::Abbreviate(const QString& path, int maxLength) {
    if (path.size() <= maxLength) return path;
    // Keep the file name whole and as much of the front as fits: "/home/…/cards.qdf".
    QString name = QFileInfo(path).fileName();
    QString ellipsis = QStringLiteral("...");
    if (name.size() + ellipsis.size() + 1 > maxLength) return name.left(maxLength);
    qsizetype keep = maxLength - name.size() - ellipsis.size() - 1;
    QString front = path.left(keep);
    qsizetype cut = front.lastIndexOf('/');
    front = cut >= 0 ? front.left(cut + 1) : QString();
    return front + ellipsis + '/' + name;
}

QString RecentFileList::MenuText(int index, int maxLength) const {
    QString shown = Abbreviate(At(index), maxLength);
    shown.replace('&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace tessarel
