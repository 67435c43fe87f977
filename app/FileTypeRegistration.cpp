#include "FileTypeRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "core/AtomicFileWriter.h"
#include "core/FileReader.h"
#include "framework/DocTemplate.h"

namespace tessarel {

namespace {

const char* const kTypeIds[] = {"QuendalEncr.Document", "Encrypted", "Quendal.Document", "QuendalSealed.Document"};

bool WriteText(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    return WriteFileAtomically(QFile::encodeName(path).toStdString(),
                               std::span(reinterpret_cast<const std::uint8_t*>(text.constData()), static_cast<std::size_t>(text.size())));
}

// Registration runs at every start; a file that already holds these bytes is left alone, so an
// unchanged registration costs a few reads. Returns false on failure; `changed` tells a rewrite.
bool WriteIfChanged(const QString& path, const QByteArray& text, bool* changed = nullptr) {
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.size() == text.size() && current.read(text.size() + 1) == text)
        return true;
    if (changed) *changed = true;
    return WriteText(path, text);
}

bool CopyResource(const QString& resource, const QString& path) {
    QFile source(resource);
    if (!source.open(QIODevice::ReadOnly)) return false;
    return WriteIfChanged(path, source.readAll());
}

QByteArray Escape(const QString& text) { return text.toHtmlEscaped().toUtf8(); }

// Our files are small; anything larger is not ours and is not read whole.
constexpr qint64 kMaxTextBytes = 1 << 20;

QByteArray ReadBounded(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.read(kMaxTextBytes);
}

// The program path as one argument of a desktop entry's Exec key: quoted, with the characters
// the quoting reserves escaped, then with the escapes of a string value.
QByteArray ExecArgument(const QString& path) {
    QString quoted;
    for (QChar c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c == '%' ? QStringLiteral("%%") : QString(c);
    }
    return '"' + quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\")).toUtf8() + '"';
}

QByteArray DesktopEntryText(const QStringList& mimeTypes, const QString& programPath) {
    return "[Desktop Entry]\nType=Application\nName=Tessarel\nGenericName=Password Manager\n"
           "Comment=Keep passwords and account details in encrypted card files\n"
           "Exec=" + ExecArgument(programPath) + " /dde %f\nIcon=tessarel\nTerminal=false\n"
           "Categories=Utility;Qt;\nKeywords=password;passwords;vault;login;security;\n"
           "MimeType=" + mimeTypes.join(';').toUtf8() + ";\n";
}

// What the start-up check needs from an installed desktop entry.
struct DesktopEntryFacts {
    QString program;  // the Exec key's program, found on PATH when it has no folder
    QStringList mimeTypes;
};

// The first argument of an Exec value, undoing the string escapes and the argument quoting.
QString FirstExecArgument(const QString& exec) {
    QString value = exec;
    value.replace(QStringLiteral("\\\\"), QStringLiteral("\\")).replace(QStringLiteral("%%"), QStringLiteral("%"));
    QString argument;
    if (!value.startsWith('"')) return value.section(' ', 0, 0);
    for (qsizetype i = 1; i < value.size(); ++i) {
        if (value[i] == '"') return argument;
        if (value[i] == '\\' && i + 1 < value.size()) ++i;
        argument += value[i];
    }
    return QString();  // no closing quote
}

DesktopEntryFacts ReadDesktopEntry(const QString& path) {
    DesktopEntryFacts facts;
    bool inMainGroup = false;
    for (const QByteArray& rawLine : ReadBounded(path).split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith('[')) inMainGroup = line == QStringLiteral("[Desktop Entry]");
        if (!inMainGroup) continue;
        if (line.startsWith(QStringLiteral("Exec="))) {
            QString program = FirstExecArgument(line.mid(5).trimmed());
            facts.program = program.contains('/') || program.isEmpty() ? program : QStandardPaths::findExecutable(program);
        } else if (line.startsWith(QStringLiteral("MimeType="))) {
            facts.mimeTypes = line.mid(9).split(';', Qt::SkipEmptyParts);
        }
    }
    return facts;
}

// Removes `folder` and its parents up to `top` while they are empty.
void RemoveEmptyFolders(QString folder, const QString& top) {
    QDir dir;
    while (folder.startsWith(top) && folder != top && QDir(folder).isEmpty()) {
        dir.rmdir(folder);
        folder = QFileInfo(folder).absolutePath();
    }
}

}  // namespace

FileTypeRegistration::FileTypeRegistration(QString home) : dataHome(std::move(home)) {
    if (dataHome.isEmpty()) dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty()) dataHome = QDir::homePath() + QStringLiteral("/.local/share");
}

QString FileTypeRegistration::MimeTypeOf(const QString& typeId) {
    return QStringLiteral("application/x-") + typeId.toLower().replace('.', '-');
}

std::vector<FileTypeEntry> FileTypeRegistration::EntriesOf(const std::vector<const DocTemplate*>& templates) {
    std::vector<FileTypeEntry> entries;
    for (const DocTemplate* docTemplate : templates) {
        QString id = docTemplate->GetDocString(DocTemplate::RegFileTypeId);
        if (id.isEmpty()) continue;
        QString name = docTemplate->GetDocString(DocTemplate::RegFileTypeName);
        entries.push_back({id, name.isEmpty() ? id : name, docTemplate->GetDocString(DocTemplate::FilterExt), docTemplate->GetResourceId()});
    }
    return entries;
}

QString FileTypeRegistration::DesktopFile() const { return dataHome + QStringLiteral("/applications/tessarel.desktop"); }
QString FileTypeRegistration::MimePackage() const { return dataHome + QStringLiteral("/mime/packages/tessarel.xml"); }
QString FileTypeRegistration::ProgramIconFile() const { return dataHome + QStringLiteral("/icons/hicolor/scalable/apps/tessarel.svg"); }
QString FileTypeRegistration::IconFile(const QString& typeId) const {
    return dataHome + QStringLiteral("/icons/hicolor/scalable/mimetypes/") + MimeTypeOf(typeId).replace('/', '-') + QStringLiteral(".svg");
}

QStringList FileTypeRegistration::WrittenFiles(const std::vector<FileTypeEntry>& entries) const {
    QStringList files{MimePackage(), DesktopFile(), ProgramIconFile()};
    for (const FileTypeEntry& entry : entries) files << IconFile(entry.typeId);
    return files;
}

QString FileTypeRegistration::ClaimingType(const QString& extension) const {
    // The installed databases say which type owns a pattern; ours does not count.
    QString pattern = QStringLiteral("*") + extension.toLower();
    QStringList databases{dataHome + QStringLiteral("/mime/globs2")};
    for (const QString& dir : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("mime/globs2")))
        if (!dir.startsWith(dataHome)) databases << dir;
    for (const QString& database : databases) {
        QFile file(database);
        if (!file.open(QIODevice::ReadOnly)) continue;
        while (!file.atEnd()) {
            QList<QByteArray> fields = file.readLine(4096).trimmed().split(':');
            if (fields.size() >= 3 && QString::fromUtf8(fields[2]).toLower() == pattern) return QString::fromUtf8(fields[1]);
        }
    }
    return QString();
}

QByteArray FileTypeRegistration::MimePackageText(const std::vector<FileTypeEntry>& entries, Claims claims) const {
    QByteArray package = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const FileTypeEntry& entry : entries) {
        QString mime = MimeTypeOf(entry.typeId);
        package += "  <mime-type type=\"" + Escape(mime) + "\">\n    <comment>" + Escape(entry.typeName) + "</comment>\n";
        // An extension that another program's type owns is left to it; our type is still written.
        QString owner = claims == Claims::Ignore ? QString() : ClaimingType(entry.extension);
        if (!entry.extension.isEmpty() && (owner.isEmpty() || owner == mime))
            package += "    <glob pattern=\"*" + Escape(entry.extension) + "\"/>\n";
        package += "    <icon name=\"" + Escape(QString(mime).replace('/', '-')) + "\"/>\n  </mime-type>\n";
    }
    return package + "</mime-info>\n";
}

bool FileTypeRegistration::WriteFiles(const std::vector<FileTypeEntry>& entries, const QString& programPath, Claims claims,
                                      bool* packageChanged, bool* desktopChanged) {
    bool ok = true;
    QStringList mimeTypes;
    for (const FileTypeEntry& entry : entries) {
        mimeTypes << MimeTypeOf(entry.typeId);
        ok = CopyResource(QStringLiteral(":/icons/icon-%1.svg").arg(entry.iconNumber), IconFile(entry.typeId)) && ok;
    }
    ok = WriteIfChanged(MimePackage(), MimePackageText(entries, claims), packageChanged) && ok;
    ok = CopyResource(QStringLiteral(":/icons/icon-128.svg"), ProgramIconFile()) && ok;
    return WriteIfChanged(DesktopFile(), DesktopEntryText(mimeTypes, programPath), desktopChanged) && ok;
}

bool FileTypeRegistration::Register(const std::vector<FileTypeEntry>& entries, const QString& programPath) {
    if (!InstalledDataDir(entries, programPath).isEmpty()) {
        // Per-user copies would hide the installed entry, and may start another program.
        if (QFile::exists(DesktopFile()) || QFile::exists(MimePackage())) RemoveWrittenFiles();
        return true;
    }
    bool packageChanged = false;
    bool desktopChanged = false;
    bool ok = WriteFiles(entries, programPath, Claims::LeaveToOwner, &packageChanged, &desktopChanged);
    // The database tools are slow next to the rest of start-up; each runs when what it reads
    // changed or the database it makes is missing.
    if (packageChanged || !QFile::exists(dataHome + QStringLiteral("/mime/mime.cache"))) RefreshMimeDatabase();
    // File managers built on GIO find the program for a type only through this cache.
    if (desktopChanged || !QFile::exists(DesktopCache())) RefreshDesktopDatabase();
    return ok;
}

bool FileTypeRegistration::WriteInstallFiles(const std::vector<FileTypeEntry>& entries, const QString& programPath) {
    bool changed = false;
    bool ok = WriteFiles(entries, programPath, Claims::Ignore, &changed, &changed);
    // Every user reads an installation's files; the writing path makes them owner-only.
    const auto readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;
    for (const QString& file : WrittenFiles(entries)) ok = QFile::setPermissions(file, readable) && ok;
    return ok;
}

QString FileTypeRegistration::InstalledDataDir(const std::vector<FileTypeEntry>& entries, const QString& programPath) {
    const QString program = QFileInfo(programPath).canonicalFilePath();
    if (program.isEmpty()) return QString();
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty()) dirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : dirs.split(':', Qt::SkipEmptyParts)) {
        DesktopEntryFacts desktop = ReadDesktopEntry(dir + QStringLiteral("/applications/tessarel.desktop"));
        if (desktop.program.isEmpty() || QFileInfo(desktop.program).canonicalFilePath() != program) continue;
        const QByteArray package = ReadBounded(dir + QStringLiteral("/mime/packages/tessarel.xml"));
        const QList<QByteArray> known = ReadBounded(dir + QStringLiteral("/mime/types")).split('\n');
        bool complete = true;
        for (const FileTypeEntry& entry : entries) {
            const QString mime = MimeTypeOf(entry.typeId);
            complete = complete && desktop.mimeTypes.contains(mime) && package.contains("type=\"" + Escape(mime) + "\"") &&
                       known.contains(mime.toUtf8());
        }
        if (complete) return dir;
    }
    return QString();
}

void FileTypeRegistration::Unregister() { RemoveWrittenFiles(); }

void FileTypeRegistration::RemoveWrittenFiles() {
    std::vector<FileTypeEntry> entries;
    for (const char* id : kTypeIds) entries.push_back({QString::fromLatin1(id), {}, {}, 0});
    for (const QString& file : WrittenFiles(entries)) {
        if (!QFile::exists(file)) continue;
        RemoveFile(QFile::encodeName(file).toStdString());
        RemoveEmptyFolders(QFileInfo(file).absolutePath(), dataHome);
    }
    RefreshMimeDatabase();
    // The desktop cache is ours too when nothing else is left beside it.
    const QString applications = QFileInfo(DesktopFile()).absolutePath();
    if (QDir(applications).entryList(QDir::AllEntries | QDir::NoDotAndDotDot) == QStringList{QStringLiteral("mimeinfo.cache")}) {
        RemoveFile(QFile::encodeName(DesktopCache()).toStdString());
        RemoveEmptyFolders(applications, dataHome);
    } else if (QDir(applications).exists()) {
        RefreshDesktopDatabase();
    }
    // The database files the tool made are ours too once our package is gone and none is left.
    QString packages = dataHome + QStringLiteral("/mime/packages");
    if (!QDir(packages).exists()) {
        QDir(dataHome + QStringLiteral("/mime")).removeRecursively();
    }
}

QString FileTypeRegistration::DesktopCache() const { return dataHome + QStringLiteral("/applications/mimeinfo.cache"); }

namespace {

// Runs one of the desktop's database tools over `folder` and waits for it.
void RunDatabaseTool(const char* name, const QString& folder) {
    const QString tool = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (tool.isEmpty()) return;
    QProcess process;
    process.start(tool, {folder});
    process.waitForFinished(30000);
}

}  // namespace

void FileTypeRegistration::RefreshDesktopDatabase() const {
    const QString applications = QFileInfo(DesktopFile()).absolutePath();
    if (QDir(applications).exists()) RunDatabaseTool("update-desktop-database", applications);
}

void FileTypeRegistration::RefreshMimeDatabase() const {
    const QString mime = dataHome + QStringLiteral("/mime");
    if (QDir(mime + QStringLiteral("/packages")).exists()) RunDatabaseTool("update-mime-database", mime);
}

}  // namespace tessarel
