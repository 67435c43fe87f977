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

bool FileTypeRegistration::Register(const std::vector<FileTypeEntry>& entries, const QString& programPath) {
    QByteArray package = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    QStringList mimeTypes;
    bool ok = true;
    for (const FileTypeEntry& entry : entries) {
        QString mime = MimeTypeOf(entry.typeId);
        mimeTypes << mime;
        package += "  <mime-type type=\"" + Escape(mime) + "\">\n    <comment>" + Escape(entry.typeName) + "</comment>\n";
        // An extension that another program's type owns is left to it; our type is still written.
        QString owner = ClaimingType(entry.extension);
        if (!entry.extension.isEmpty() && (owner.isEmpty() || owner == mime))
            package += "    <glob pattern=\"*" + Escape(entry.extension) + "\"/>\n";
        package += "    <icon name=\"" + Escape(QString(mime).replace('/', '-')) + "\"/>\n  </mime-type>\n";
        ok = CopyResource(QStringLiteral(":/icons/icon-%1.svg").arg(entry.iconNumber), IconFile(entry.typeId)) && ok;
    }
    package += "</mime-info>\n";
    bool packageChanged = false;
    ok = WriteIfChanged(MimePackage(), package, &packageChanged) && ok;
    ok = CopyResource(QStringLiteral(":/icons/icon-128.svg"), ProgramIconFile()) && ok;
    QByteArray desktop = "[Desktop Entry]\nType=Application\nName=Tessarel\nComment=Password manager\n"
                         "Exec=\"" + programPath.toUtf8() + "\" /dde %f\nIcon=tessarel\nTerminal=false\n"
                         "Categories=Utility;Security;\nMimeType=" + mimeTypes.join(';').toUtf8() + ";\n";
    ok = WriteIfChanged(DesktopFile(), desktop) && ok;
    // The database tool is slow next to the rest of start-up; it runs when our types changed or
    // the database it makes is missing.
    if (packageChanged || !QFile::exists(dataHome + QStringLiteral("/mime/mime.cache"))) RefreshMimeDatabase();
    return ok;
}

void FileTypeRegistration::Unregister() {
    std::vector<FileTypeEntry> entries;
    for (const char* id : kTypeIds) entries.push_back({QString::fromLatin1(id), {}, {}, 0});
    for (const QString& file : WrittenFiles(entries)) {
        if (!QFile::exists(file)) continue;
        RemoveFile(QFile::encodeName(file).toStdString());
        RemoveEmptyFolders(QFileInfo(file).absolutePath(), dataHome);
    }
    RefreshMimeDatabase();
    // The database files the tool made are ours too once our package is gone and none is left.
    QString packages = dataHome + QStringLiteral("/mime/packages");
    if (!QDir(packages).exists()) {
        QDir(dataHome + QStringLiteral("/mime")).removeRecursively();
    }
}

void FileTypeRegistration::RefreshMimeDatabase() const {
    QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    QString mime = dataHome + QStringLiteral("/mime");
    if (tool.isEmpty() || !QDir(mime + QStringLiteral("/packages")).exists()) return;
    QProcess process;
    process.start(tool, {mime});
    process.waitForFinished(30000);
}

}  // namespace tessarel
