#pragma once
// The recent-file list: most recent first, at most four entries, kept in
// "Recent File List"/"File1".."File4". Loaded at start-up, written back at exit.

#include <QString>
#include <QStringList>

namespace tessarel {

class RecentFileList {
public:
    explicit RecentFileList(int size = 4);

    void Load();
    void Save() const;

    void Add(const QString& path);
    void Remove(int index);
    int Count() const { return static_cast<int>(entries.size()); }
    int Size() const { return size; }
    QString At(int index) const { return index >= 0 && index < Count() ? entries[index] : QString(); }
    const QStringList& Entries() const { return entries; }

    // The menu text of an entry: "&1 " and the path shortened to `maxLength` characters.
    QString MenuText(int index, int maxLength = 30) const;
    static QString Abbreviate(const QString& path, int maxLength);

private:
    int size;
    QStringList entries;
};

}  // namespace tessarel
