#include "interchange/historylines.h"

#include "history/historyreader.h"

#include <QFile>

#include <cerrno>
#include <unistd.h>

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

} // namespace

int ForEachAttempt(const QByteArray& content, const AttemptVisitor& visit)
{
    HistoryLineParser parser;   // headers set the column order of the lines after them
    int skipped = 0;
    Attempt attempt;
    QString scramble;
    AttemptDetail detail;
    qsizetype start = content.startsWith(kByteOrderMark) ? qsizetype(sizeof kByteOrderMark - 1) : 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        // The last line without its line end may be an append cut short: even
        // if it reads, it is counted as damaged, as the store counts it; a
        // lone CR at its end shows the line whole.
        const bool torn = end < 0 && !content.endsWith('\r');
        if (end < 0)
            end = content.size();
        const char* begin = content.constData() + start;
        const char* finish = content.constData() + end;
        start = end + 1;
        if (finish > begin && finish[-1] == '\r')
            --finish;
        switch (parser.Read(begin, finish, attempt, &scramble, &detail)) {
        case HistoryLineParser::Line::Attempt:
            if (torn)
                ++skipped;
            else if (attempt.mode != AttemptMode::Name)
                visit(attempt, scramble, detail);
            break;
        case HistoryLineParser::Line::Damaged:
            ++skipped;
            break;
        case HistoryLineParser::Line::Header:
        case HistoryLineParser::Line::Blank:
            break;
        }
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
