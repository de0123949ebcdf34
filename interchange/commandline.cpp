#include "interchange/commandline.h"

#include "core/language.h"

#include <QLocale>

#include <cstring>

bool AsksForCommand(int argc, char* argv[], const char* option)
{
    return argc >= 2 && std::strcmp(argv[1], option) == 0;
}

bool CommandInRussian()
{
    return IsRussianLanguageValue(LanguageValueForSystem(QLocale::system().name()));
}

void PrintLine(std::FILE* stream, const QString& text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stream);
}

QString ExtraArgumentsText(bool russian)
{
    return Tr(russian, QStringLiteral("Лишние аргументы после имени файла."),
              QStringLiteral("Unexpected arguments after the file name."));
}
