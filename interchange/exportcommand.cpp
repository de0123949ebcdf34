#include "interchange/exportcommand.h"

#include "core/language.h"
#include "core/caseidentity.h"
#include "interchange/exportfile.h"
#include "core/seams.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kWritten = 0;
constexpr int kFailed = 1;
constexpr int kWrongArguments = 2;

void Print(std::FILE* stream, const QString& text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stream);
}

QString UsageText(bool russian)
{
    return Tr(russian, QStringLiteral("Использование: tesselo --export cstimer|twistytimer ФАЙЛ"),
              QStringLiteral("Usage: tesselo --export cstimer|twistytimer FILE"));
}

// The History.csv the window would use when started the same way.
QString HistoryPathForThisStart()
{
    return Environment::Default().files.HistoryPath();
}

} // namespace

bool AsksForExport(int argc, char* argv[])
{
    return argc >= 2 && std::strcmp(argv[1], "--export") == 0;
}

int RunExportCommand(int argc, char* argv[])
{
    const QCoreApplication application(argc, argv);
    const bool russian = IsRussianLanguageValue(LanguageValueForSystem(QLocale::system().name()));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        Print(stderr, arguments.size() < 4 ? Tr(russian, QStringLiteral("Не указан формат или файл экспорта."),
                                                QStringLiteral("The export format or the file is missing."))
                                           : Tr(russian, QStringLiteral("Лишние аргументы после имени файла."),
                                                QStringLiteral("Unexpected arguments after the file name.")));
        Print(stderr, UsageText(russian));
        return kWrongArguments;
    }
    const std::optional<ExportFormat> format = ExportFormatNamed(arguments[2]);
    if (!format) {
        Print(stderr, Tr(russian, QStringLiteral("Неизвестный формат экспорта «%1»: нужен cstimer или twistytimer."),
                         QStringLiteral("Unknown export format \"%1\": use cstimer or twistytimer."))
                          .arg(arguments[2]));
        Print(stderr, UsageText(russian));
        return kWrongArguments;
    }
    const QString target = arguments[3];
    if (target.isEmpty()) {
        Print(stderr, UsageText(russian));
        return kWrongArguments;
    }
    const ExportOutcome outcome = ExportHistoryFile(HistoryPathForThisStart(), *format, target, CaseIdentities(), russian);
    if (!outcome.written) {
        Print(stderr, outcome.error);
        return kFailed;
    }
    Print(stdout, ExportReport(outcome, target, russian));
    return kWritten;
}
