#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace tessarel {

namespace {

QString& Organisation() {
    static QString name = QStringLiteral("Corvale");
    return name;
}

QString& Application() {
    static QString name = QStringLiteral("Tessarel");
    return name;
}

QString KeyOf(const Setting& row) { return QString::fromLatin1(row.section) + '/' + QString::fromLatin1(row.key); }

QSettings Store() { return QSettings(Organisation(), Application()); }

}  // namespace

const std::vector<const Setting*>& AllSettings() {
    using namespace setting;
    static const std::vector<const Setting*> rows{
        &ChooseWebBrowser, &AutomaticSaveCheck, &AutomaticSave, &DateFormat, &NetscapeFilePath,
        &ExplorerFilePath, &MailProgFilePath, &NewsProgFilePath, &HelpProgFilePath, &FtpFilePath,
        &TelnetFilePath, &PrintAtm, &PrintNotes, &LaunchEmail, &LaunchWebBrowser, &LaunchFtp,
        &LaunchTelnet, &LaunchNewsReader, &CheckOpenFiles, &RecentFile1, &RecentFile2,
        &RecentFile3, &RecentFile4, &PreviewPages, &FirstStartDone, &ClearClipboardSeconds};
    return rows;
}

const Setting& RecentFileSetting(int n) {
    static const Setting* rows[] = {&setting::RecentFile1, &setting::RecentFile2, &setting::RecentFile3, &setting::RecentFile4};
    return *rows[n < 1 ? 0 : (n > 4 ? 3 : n - 1)];
}

void SetSettingsOwner(const QString& organisation, const QString& application) {
    Organisation() = organisation;
    Application() = application;
}

int ReadInt(const Setting& row) { return ReadInt(row, row.intDefault); }

int ReadInt(const Setting& row, int defaultValue) {
    QVariant value = Store().value(KeyOf(row));
    bool ok = false;
    int number = value.toInt(&ok);
    return value.isValid() && ok ? number : defaultValue;
}

QString ReadText(const Setting& row) {
    QVariant value = Store().value(KeyOf(row));
    return value.isValid() ? value.toString() : QString::fromLatin1(row.textDefault);
}

void WriteInt(const Setting& row, int value) { Store().setValue(KeyOf(row), value); }

void WriteText(const Setting& row, const QString& value) { Store().setValue(KeyOf(row), value); }

bool SettingExists(const Setting& row) { return Store().contains(KeyOf(row)); }

QString SettingsFilePath() { return Store().fileName(); }

void RemoveAllSettings() {
    QString path;
    {
        QSettings store = Store();
        store.clear();
        store.sync();
        path = store.fileName();
    }
    QFile::remove(path);
    // The company folder goes too when nothing else is left in it.
    QDir folder = QFileInfo(path).dir();
    if (folder.exists() && folder.isEmpty()) folder.rmdir(folder.absolutePath());
}

}  // namespace tessarel
