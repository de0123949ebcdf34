#include "interchange/exportcommand.h"

#include "core/language.h"
#include "interchange/commandline.h"
#include "core/caseidentity.h"
#include "interchange/exportfile.h"
#include "core/seams.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

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
    return AsksForCommand(argc, argv, "--export");
}

int RunExportCommand(int argc, char* argv[])
{
    const QCoreApplication application(argc, argv);
    const bool russian = CommandInRussian();
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        PrintLine(stderr, arguments.size() < 4
                              ? Tr(russian, QStringLiteral("Не указан формат или файл экспорта."),
                                   QStringLiteral("The export format or the file is missing."))
                              : ExtraArgumentsText(russian));
        PrintLine(stderr, UsageText(russian));
        return kCommandWrongArguments;
    }
    const std::optional<ExportFormat> format = ExportFormatNamed(arguments[2]);
    if (!format) {
        PrintLine(stderr, Tr(russian, QStringLiteral("Неизвестный формат экспорта «%1»: нужен cstimer или twistytimer."),
                         QStringLiteral("Unknown export format \"%1\": use cstimer or twistytimer."))
                          .arg(arguments[2]));
        PrintLine(stderr, UsageText(russian));
        return kCommandWrongArguments;
    }
    const QString target = arguments[3];
    if (target.isEmpty()) {
        PrintLine(stderr, UsageText(russian));
        return kCommandWrongArguments;
    }
    const ExportOutcome outcome = ExportHistoryFile(HistoryPathForThisStart(), *format, target, CaseIdentities(), russian);
    if (!outcome.written) {
        PrintLine(stderr, outcome.error);
        return kCommandFailed;
    }
    PrintLine(stdout, ExportReport(outcome, target, russian));
    return kCommandSucceeded;
}
