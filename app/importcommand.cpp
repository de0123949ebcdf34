#include "app/importcommand.h"

#include "app/singlecopy.h"
#include "core/language.h"
#include "core/seams.h"
#include "interchange/importreport.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kImported = 0;
constexpr int kFailed = 1;
constexpr int kWrongArguments = 2;

void Print(std::FILE* stream, const QString& text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stream);
}

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
    return argc >= 2 && std::strcmp(argv[1], "--import") == 0;
}

int RunImportCommand(int argc, char* argv[])
{
    const QCoreApplication application(argc, argv);
    const bool russian = IsRussianLanguageValue(LanguageValueForSystem(QLocale::system().name()));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3 || arguments[2].isEmpty()) {
        Print(stderr, arguments.size() < 3 ? Tr(russian, QStringLiteral("Не указан файл импорта."),
                                                QStringLiteral("The file to import is missing."))
                                           : Tr(russian, QStringLiteral("Лишние аргументы после имени файла."),
                                                QStringLiteral("Unexpected arguments after the file name.")));
        Print(stderr, UsageText(russian));
        return kWrongArguments;
    }
    // The History.csv the window would use when started the same way.
    const FileLocations files = Environment::Default().files;
    if (files.mode == FileLocations::Mode::Installed)
        files.MakeFolders();
    const ProgramFolderLock running(files.dataFolder);
    if (running.state() == ProgramFolderLock::State::HeldByAnother) {
        Print(stderr, RunningText(russian));
        return kFailed;
    }
    const ImportOutcome outcome = ImportFile(arguments[2], files.HistoryPath(), BoundedLockWait(), russian);
    if (!outcome.written) {
        Print(stderr, ImportFailure(outcome, files.HistoryPath(), russian));
        return kFailed;
    }
    Print(stdout, ImportSummary(outcome, CaseIdentities(), russian));
    return kImported;
}
