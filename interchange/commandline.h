#pragma once
// What `--export` and `--import` share on the command line: the exit codes,
// a line printed to a stream, the language of the messages, and the options'
// test. No window, no display.

#include <QString>

#include <cstdio>

enum CommandExit : int {
    kCommandSucceeded = 0,
    kCommandFailed = 1,
    kCommandWrongArguments = 2,
};

// True when the first argument is option ("--export", "--import").
bool AsksForCommand(int argc, char* argv[], const char* option);

// The system's language, as the window's first run takes it.
bool CommandInRussian();

void PrintLine(std::FILE* stream, const QString& text);

// "Unexpected arguments after the file name."
QString ExtraArgumentsText(bool russian);
