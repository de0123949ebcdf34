#include "interchange/historylines.h"

#include <QFile>

#include <cerrno>
#include <unistd.h>

int ForEachAttempt(const QByteArray& content, const AttemptVisitor& visit)
{
    const QByteArray header = HistoryHeader();
    const QByteArray oldHeader = HistoryHeaderWithoutScramble();
    int skipped = 0;
    Attempt attempt;
    QString scramble;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        QByteArray line = content.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line == header || line == oldHeader || line.trimmed().isEmpty())
            continue;
        if (ParseAttempt(line, attempt, &scramble))
            visit(attempt, scramble);
        else
            ++skipped;
    }
    return skipped;
}

HistoryFileRead ReadHistoryBytes(const QString& path, QByteArray& content, int* error)
{
    content.clear();
    HistoryOpening opening = HistoryOpening::Missing;
    const int fd = OpenHistoryForReading(path, opening);
    if (opening == HistoryOpening::Missing)
        return HistoryFileRead::Missing;
    if (fd < 0) {
        if (error)
            *error = errno;
        return HistoryFileRead::Unreadable;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (error)
            *error = EIO;
        return HistoryFileRead::Unreadable;
    }
    content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = EIO;   // a read error mid-file (a failing disk)
        content.clear();
        return HistoryFileRead::Unreadable;
    }
    return HistoryFileRead::Read;
}
