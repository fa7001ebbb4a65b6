#include "widgets/desktop_opener.hpp"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryFile>

namespace quill {

namespace {

constexpr int kStartMilliseconds = 2000;
constexpr int kVerdictMilliseconds = 2000;

// The opener's exit codes as its manual lists them.
QString exitCodeReason(int code) {
    switch (code) {
        case 1:
            return QStringLiteral("Der Aufruf des Öffners war fehlerhaft");
        case 2:
            return QStringLiteral("Die Datei existiert nicht");
        case 3:
            return QStringLiteral("Kein Programm zum Öffnen gefunden");
        case 4:
            return QStringLiteral("Das Öffnen ist fehlgeschlagen");
        default:
            return QStringLiteral("Der Öffner endete mit dem Code %1").arg(code);
    }
}

QString lastLine(const QByteArray& output) {
    const QStringList lines = QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.back().trimmed();
}

}  // namespace

OpenResult runDesktopOpener(const QString& target, const QString& program) {
    // Its messages go to a file, not a pipe: a viewer it starts inherits the
    // channel and must never block on a pipe nobody reads.
    QTemporaryFile messages;
    if (!messages.open()) return {false, QStringLiteral("Keine temporäre Datei für die Meldungen des Öffners")};
    auto* opener = new QProcess(QCoreApplication::instance());
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(messages.fileName());
    opener->start(program, {target});
    if (!opener->waitForStarted(kStartMilliseconds)) {
        opener->deleteLater();
        return {false, QStringLiteral("Der Öffner %1 lässt sich nicht starten").arg(program)};
    }
    // Still running: it waits for the viewer it started, which is left alone.
    if (!opener->waitForFinished(kVerdictMilliseconds)) return {true, {}};
    if (opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0) return {true, {}};
    QString reason = opener->exitStatus() == QProcess::NormalExit ? exitCodeReason(opener->exitCode())
                                                                  : QStringLiteral("Der Öffner ist abgestürzt");
    const QString said = lastLine(messages.readAll());
    if (!said.isEmpty()) reason += QStringLiteral(" (") + said + u')';
    return {false, reason};
}

}  // namespace quill
