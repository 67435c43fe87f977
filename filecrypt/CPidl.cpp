#include "CPidl.h"

#include <QDir>
#include <QFileIconProvider>

#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace tessarel {

CPidl::CPidl(QString parentFolder, QString name, bool isFolder, QString shown)
    : parent(std::move(parentFolder)), relative(std::move(name)), display(std::move(shown)), folder(isFolder) {}

CPidl CPidl::Child(const QString& childName, bool childIsFolder) const { return CPidl(ParsingPath(), childName, childIsFolder); }

QString CPidl::ParsingPath() const {
    if (parent.isEmpty()) return relative;
    return parent.endsWith(QLatin1Char('/')) ? parent + relative : parent + QLatin1Char('/') + relative;
}

QString CPidl::DisplayName() const { return display.isEmpty() ? relative : display; }

QString CPidl::TypeName() const { return TypeNameOf(relative, folder); }

QIcon CPidl::SmallIcon() const { return IconOf(relative, folder); }

QIcon CPidl::OpenIcon() const { return IconOf(relative, folder, true); }

QString CPidl::TypeNameOf(const QString& name, bool isFolder) {
    if (isFolder) return QStringLiteral("File Folder");
    if (name.endsWith(QLatin1String(".~~~"))) return QStringLiteral("Encrypted File");
    // A type nobody registered is named after its extension, the way the desktop names it.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == name.size() - 1) return QStringLiteral("File");
    return name.mid(dot + 1).toUpper() + QStringLiteral(" File");
}

QIcon CPidl::IconOf(const QString& name, bool isFolder, bool open) {
    // A handful of fixed pictures: asking the platform per file would slow large folders down.
    static const QFileIconProvider provider;
    static const QIcon folderIcon = provider.icon(QFileIconProvider::Folder);
    static const QIcon fileIcon = provider.icon(QFileIconProvider::File);
    static const QIcon encryptedIcon = ResourceIcon(res::IconFileView);
    (void)open;  // the folder picture serves open and closed folders alike
    if (isFolder) return folderIcon;
    return TypeNameOf(name, false) == QLatin1String("Encrypted File") ? encryptedIcon : fileIcon;
}

}  // namespace tessarel
