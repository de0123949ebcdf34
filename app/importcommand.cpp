#include "app/importcommand.h"

#include "app/singlecopy.h"
#include "core/language.h"
#include "interchange/commandline.h"
#include "core/seams.h"
#include "interchange/importreport.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

QString UsageText(bool russian)
{
    return Tr(russian, QStringLiteral("Использование: tesselo --import ФАЙЛ (экспорт csTimer или резервная копия TwistyTimer)"),
              QStringLiteral("Usage: tesselo --import FILE (a csTimer export or a TwistyTimer backup)"));
}

QString RunningText(bool russian)
{
    return Tr(russian,
              QStringLiteral("Tesselo уже запущен из этой папки: закройте его или импортируйте через «Импорт…» "
                             "в его меню. Ничего не импортировано."),
              QStringLiteral("Tesselo is running from this folder: close it, or import with \"Import…\" in its "
                             "menu. Nothing was imported."));
}

} // namespace

bool AsksForImport(int argc, char* argv[])
{
    return AsksForCommand(argc, argv, "--import");
}

int RunImportCommand(int argc, char* argv[])
{
    const QCoreApplication application(argc, argv);
    const bool russian = CommandInRussian();
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3 || arguments[2].isEmpty()) {
        PrintLine(stderr, arguments.size() < 3
                              ? Tr(russian, QStringLiteral("Не указан файл импорта."),
                                   QStringLiteral("The file to import is missing."))
                              : ExtraArgumentsText(russian));
        PrintLine(stderr, UsageText(russian));
        return kCommandWrongArguments;
    }
    // The History.csv the window would use when started the same way.
    const FileLocations files = Environment::Default().files;
    if (files.mode == FileLocations::Mode::Installed)
        files.MakeFolders();
    const ProgramFolderLock running(files.dataFolder);
    if (running.state() == ProgramFolderLock::State::HeldByAnother) {
        PrintLine(stderr, RunningText(russian));
        return kCommandFailed;
    }
    const ImportOutcome outcome = ImportFile(arguments[2], files.HistoryPath(), BoundedLockWait(), russian);
    if (!outcome.written) {
        PrintLine(stderr, ImportFailure(outcome, files.HistoryPath(), russian));
        return kCommandFailed;
    }
    PrintLine(stdout, ImportSummary(outcome, CaseIdentities(), russian));
    return kCommandSucceeded;
}
