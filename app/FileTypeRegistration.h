#pragma once
// Registers the program's document types with the desktop: a shared-mime-info package
// (one type per template, with its extension unless another type already claims it), an icon per
// type, and a .desktop entry that opens them, all under the user's XDG data directory.
// Unregistering removes exactly those files, and folders it leaves empty.

#include <QString>
#include <QStringList>
#include <vector>

namespace tessarel {

class DocTemplate;

struct FileTypeEntry {
    QString typeId;     // "Quendal.Document"
    QString typeName;   // "Quendal Document"
    QString extension;  // ".qdf"
    int iconNumber;     // the template's icon
};

class FileTypeRegistration {
public:
    // `dataHome` empty: $XDG_DATA_HOME, else ~/.local/share.
    explicit FileTypeRegistration(QString dataHome = QString());

    static QString MimeTypeOf(const QString& typeId);
    static std::vector<FileTypeEntry> EntriesOf(const std::vector<const DocTemplate*>& templates);

    bool Register(const std::vector<FileTypeEntry>& entries, const QString& programPath);
    void Unregister();

    // The files Register writes.
    QStringList WrittenFiles(const std::vector<FileTypeEntry>& entries) const;
    QString DesktopFile() const;
    QString MimePackage() const;
    QString IconFile(const QString& typeId) const;
    QString ProgramIconFile() const;

private:
    QString ClaimingType(const QString& extension) const;
    void RefreshMimeDatabase() const;
    QString dataHome;
};

}  // namespace tessarel
