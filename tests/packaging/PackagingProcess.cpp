#include "PackagingProcess.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

namespace tessarel::test {

ProcessRun RunProgram(const QString& program, const QStringList& arguments, const QMap<QString, QString>& environment,
                      int timeoutMs) {
    QProcess process;
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    for (auto it = environment.begin(); it != environment.end(); ++it) {
        if (it.value().isEmpty())
            childEnvironment.remove(it.key());
        else
            childEnvironment.insert(it.key(), it.value());
    }
    process.setProcessEnvironment(childEnvironment);
    process.start(program, arguments);
    ProcessRun run;
    if (!process.waitForStarted(10000)) return run;
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    if (process.exitStatus() == QProcess::NormalExit) run.exitStatus = process.exitCode();
    return run;
}

QString BuiltProgram(const QString& name) { return QStringLiteral(TESSAREL_BIN_DIR "/") + name; }

QByteArray FileText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

}  // namespace tessarel::test
