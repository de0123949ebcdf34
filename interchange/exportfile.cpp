#include "interchange/exportfile.h"

#include "core/language.h"
#include "interchange/historylines.h"
#include "platform/atomicfile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace {

QString SystemReason(int error, bool russian)
{
    if (error == EINVAL)
        return Tr(russian, QStringLiteral("это не обычный файл"), QStringLiteral("it is not a regular file"));
    return QString::fromLocal8Bit(std::strerror(error));
}

// The same file by another name (a link, "./History.csv") counts too.
bool IsSameFile(const QString& a, const QString& b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    if (!canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath())
        return true;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace

ExportOutcome ExportHistoryFile(const QString& historyPath, ExportFormat format, const QString& target,
                                const CaseIdentityTable& cases, bool russian)
{
    ExportOutcome outcome;
    if (IsSameFile(historyPath, target)) {
        outcome.error = Tr(russian, QStringLiteral("Экспорт не может заменить сам History.csv: выберите другой файл."),
                           QStringLiteral("The export cannot replace History.csv itself: choose another file."));
        return outcome;
    }
    QByteArray history;
    int error = 0;
    if (ReadHistoryBytes(historyPath, history, &error) == HistoryFileRead::Unreadable) {
        outcome.error = Tr(russian, QStringLiteral("Не удалось прочитать %1: %2"), QStringLiteral("Cannot read %1: %2"))
                            .arg(QDir::toNativeSeparators(historyPath), SystemReason(error, russian));
        return outcome;
    }
    const QByteArray bytes = ExportHistory(format, history, cases, &outcome.counts);
    if (!ReplaceFileAtomically(target, bytes)) {
        outcome.error = Tr(russian, QStringLiteral("Не удалось записать %1: %2"), QStringLiteral("Cannot write %1: %2"))
                            .arg(QDir::toNativeSeparators(target), SystemReason(errno, russian));
        return outcome;
    }
    outcome.written = true;
    return outcome;
}

QString ExportReport(const ExportOutcome& outcome, const QString& target, bool russian)
{
    QString report = Tr(russian, QStringLiteral("Экспортировано времён: OLL %1, PLL %2, в %3."),
                        QStringLiteral("Exported %1 OLL and %2 PLL times to %3."))
                         .arg(outcome.counts.oll)
                         .arg(outcome.counts.pll)
                         .arg(QDir::toNativeSeparators(target));
    if (outcome.counts.skippedLines > 0)
        report += QLatin1Char(' ')
                  + Tr(russian, QStringLiteral("Нечитаемых строк History.csv пропущено: %1."),
                       QStringLiteral("Unreadable lines of History.csv left out: %1."))
                        .arg(outcome.counts.skippedLines);
    return report;
}
