#include "ProgramCommandLine.h"

#include <QFileInfo>
#include <QProcess>

namespace tessarel::browser {

namespace {

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n'); }

// Inside double quotes a backslash escapes only these; before anything else it stays.
bool EscapableInDoubleQuotes(QChar c) {
    return c == QLatin1Char('$') || c == QLatin1Char('`') || c == QLatin1Char('"') || c == QLatin1Char('\\') ||
           c == QLatin1Char('\n');
}

}  // namespace

std::optional<QStringList> ProgramCommandLine::Split(const QString& line) {
    QStringList words;
    QString word;
    bool inWord = false;  // a word has begun (it may be empty: "" is a word)
    const qsizetype size = line.size();
    for (qsizetype at = 0; at < size; ++at) {
        const QChar c = line[at];
        if (IsBlank(c)) {
            if (inWord) words << word;
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == QLatin1Char('\\')) {
            if (++at >= size) return std::nullopt;
            if (line[at] != QLatin1Char('\n')) word += line[at];  // backslash and line break join lines
            continue;
        }
        if (c == QLatin1Char('\'')) {
            const qsizetype close = line.indexOf(QLatin1Char('\''), at + 1);
            if (close < 0) return std::nullopt;
            word += line.mid(at + 1, close - at - 1);
            at = close;
            continue;
        }
        if (c == QLatin1Char('"')) {
            for (++at;; ++at) {
                if (at >= size) return std::nullopt;
                const QChar inner = line[at];
                if (inner == QLatin1Char('"')) break;
                if (inner == QLatin1Char('\\') && at + 1 < size && EscapableInDoubleQuotes(line[at + 1])) {
                    ++at;
                    if (line[at] != QLatin1Char('\n')) word += line[at];
                    continue;
                }
                word += inner;
            }
            continue;
        }
        word += c;
    }
    if (inWord) words << word;
    return words;
}

std::optional<QStringList> ProgramCommandLine::Resolve(const QString& stored) {
    if (stored.trimmed().isEmpty()) return std::nullopt;
    // A path with blanks that names a program as it stands is not taken apart.
    if (QFileInfo(stored).isFile()) return QStringList{stored};
    std::optional<QStringList> words = Split(stored);
    if (!words || words->isEmpty() || words->front().isEmpty()) return std::nullopt;
    return words;
}

bool ProgramCommandLine::StartDetached(const QString& stored) {
    const std::optional<QStringList> words = Resolve(stored);
    if (!words) return false;
    return QProcess::startDetached(words->front(), words->mid(1));
}

}  // namespace tessarel::browser
