#pragma once
// One item of our file system namespace: a folder or a file, known by its parent folder and its
// name there. A folder tree item owns the CPidl it stands for; the file list keeps only the
// parsing path of each row.

#include <QIcon>
#include <QString>

namespace tessarel {

class CPidl {
public:
    // An item of `parentFolder` called `name`. A top-level item has no parent folder; its name is
    // its whole path and `display` what the tree shows for it.
    CPidl(QString parentFolder, QString name, bool folder, QString display = {});

    // The item `name` inside this folder (the relative name appended to our full one).
    CPidl Child(const QString& childName, bool childIsFolder) const;

    const QString& ParentFolder() const { return parent; }
    const QString& RelativeName() const { return relative; }
    bool IsFolder() const { return folder; }

    // The full path that names the item to the file system.
    QString ParsingPath() const;
    // What a person sees: the item's name (the top-level items have their own).
    QString DisplayName() const;
    // "File Folder", "Encrypted File", or the name's extension in capitals and " File".
    QString TypeName() const;
    QIcon SmallIcon() const;
    QIcon OpenIcon() const;

    static QString TypeNameOf(const QString& name, bool folder);
    static QIcon IconOf(const QString& name, bool folder, bool open = false);

private:
    QString parent;
    QString relative;
    QString display;
    bool folder;
};

}  // namespace tessarel
