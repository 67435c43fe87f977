#pragma once
// Runs a program as a child process with a changed environment and captures what it prints.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace tessarel::test {

struct ProcessRun {
    int exitStatus = -1;  // -1 when the program did not end normally in time
    QByteArray out;
    QByteArray err;
};

// `environment`: variables set in the child on top of the test's own; an empty value removes
// the variable.
ProcessRun RunProgram(const QString& program, const QStringList& arguments, const QMap<QString, QString>& environment = {},
                      int timeoutMs = 60000);

// A program of the build (tessarel, tessarel-cli, tessarel-browserd).
QString BuiltProgram(const QString& name);

// The text of a file; empty when it cannot be read.
QByteArray FileText(const QString& path);

}  // namespace tessarel::test
