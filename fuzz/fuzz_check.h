#pragma once
// A failed property aborts the run with the input's story, so that libFuzzer
// saves the input as a crash and the message says what went wrong.

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

inline void FuzzCheck(bool holds, const char* property, const QString& detail = QString())
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n%s\n", property, detail.toUtf8().constData());
    std::abort();
}
