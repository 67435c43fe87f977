#pragma once
// Registers the program's document types with the desktop: a shared-mime-info package
// (one type per template, with its extension unless another type already claims it), an icon per
// type, and a .desktop entry that opens them, all under the user's XDG data directory.
// Unregistering removes exactly those files, and folders it leaves empty.
//
// An installed program brings the same files in the system's data directories (written at build
// time by the same code, see WriteInstallFiles); when they are there and name this program, the
// per-user copies are not needed and not written.

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

    // Writes the per-user files, or, when the system's data directories hold the installed
    // registration of this program, removes per-user copies left from an earlier start (they
    // would hide the installed entry from the desktop).
    bool Register(const std::vector<FileTypeEntry>& entries, const QString& programPath);
    void Unregister();

    // Writes the files an installation puts under <prefix>/share, with `dataHome` standing for
    // that folder: every type keeps its extension (the build machine's types decide nothing) and
    // no MIME database is made (the system's tools make it after installation).
    bool WriteInstallFiles(const std::vector<FileTypeEntry>& entries, const QString& programPath);

    // The system data directory ($XDG_DATA_DIRS, else /usr/local/share and /usr/share) whose
    // desktop entry starts `programPath` and whose MIME database knows every type; empty when
    // there is none.
    static QString InstalledDataDir(const std::vector<FileTypeEntry>& entries, const QString& programPath);

    // The files Register writes.
    QStringList WrittenFiles(const std::vector<FileTypeEntry>& entries) const;
    QString DesktopFile() const;
    QString MimePackage() const;
    QString IconFile(const QString& typeId) const;
    QString ProgramIconFile() const;

private:
    enum class Claims { LeaveToOwner, Ignore };
    bool WriteFiles(const std::vector<FileTypeEntry>& entries, const QString& programPath, Claims claims, bool* packageChanged,
                    bool* desktopChanged);
    QByteArray MimePackageText(const std::vector<FileTypeEntry>& entries, Claims claims) const;
    QString ClaimingType(const QString& extension) const;
    void RemoveWrittenFiles();
    void RefreshMimeDatabase() const;
    // The desktop entries' MIME cache (mimeinfo.cache) of the user's applications folder.
    QString DesktopCache() const;
    void RefreshDesktopDatabase() const;
    QString dataHome;
};

}  // namespace tessarel
