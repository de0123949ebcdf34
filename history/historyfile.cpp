// The line format and its writing; the reading is in historyreader.cpp.
#include "history/historyfile.h"

#include <QDateTime>

namespace {

QByteArray TimeField(qint64 utcSeconds)
{
    return QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"))
        .toLatin1();
}

QByteArray ModeName(AttemptMode mode)
{
    switch (mode) {
    case AttemptMode::Split: return "split";
    case AttemptMode::Name: return "name";
    case AttemptMode::Time: break;
    }
    return "time";
}

QByteArray ResultName(AttemptResult result)
{
    switch (result) {
    case AttemptResult::Ok: return "ok";
    case AttemptResult::Wrong: return "wrong";
    case AttemptResult::GaveUp: return "gave-up";
    case AttemptResult::None: break;
    }
    return {};
}

// A drill's miss or give-up has no time: an empty field, which an older
// reader skips rather than counting it as a solve.
QByteArray SecondsField(const Attempt& a, const AttemptDetail& detail)
{
    if (a.mode == AttemptMode::Name && detail.result != AttemptResult::Ok)
        return {};
    return SecondsText(a.milliseconds).toLatin1();
}

} // namespace

QByteArray HistoryHeader() { return HistoryHeaderWithoutScramble() + ",scramble,mode,split,answer,result"; }

QByteArray HistoryHeaderWithoutScramble() { return QByteArrayLiteral("time,set,case,level,recognition,seconds,exam"); }

QByteArray CsvField(const QByteArray& text)
{
    if (!text.contains(',') && !text.contains('"') && !text.contains('\r') && !text.contains('\n'))
        return text;
    QByteArray quoted = text;
    quoted.replace("\"", "\"\"");
    return '"' + quoted + '"';
}

bool SplitCsvLine(const QByteArray& line, std::vector<QByteArray>& fields)
{
    fields.clear();
    QByteArray field;
    bool quoted = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                field += line[++i];
            else
                quoted = false;
        } else if (c == ',') {
            fields.push_back(field);
            field.clear();
            wasQuoted = false;
        } else if (c == '"' && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (wasQuoted) {
            return false;   // text after a closing quote
        } else {
            field += c;
        }
    }
    fields.push_back(field);
    return !quoted;
}

QString SecondsText(int milliseconds)
{
    return QStringLiteral("%1.%2").arg(milliseconds / 1000).arg(milliseconds % 1000, 3, 10, QLatin1Char('0'));
}

QByteArray FormatAttempt(const Attempt& a, const QString& scramble, const AttemptDetail& detail)
{
    const bool twoSide = a.twoSide && a.set == CaseSet::PLL && a.level == Level::Hard;
    const QList<QByteArray> fields = {TimeField(a.utcSeconds),
                                      SetName(a.set).toLatin1(),
                                      QByteArray::number(a.caseNumber),
                                      a.level == Level::Hard ? "Hard" : "Easy",
                                      twoSide ? "2-side" : "top",
                                      SecondsField(a, detail),
                                      a.exam ? "1" : "0",
                                      scramble.simplified().toUtf8(),
                                      ModeName(a.mode),
                                      detail.splitMilliseconds >= 0 ? SecondsText(detail.splitMilliseconds).toLatin1()
                                                                    : QByteArray(),
                                      detail.answer.simplified().toUtf8(),
                                      ResultName(detail.result)};
    QByteArray line;
    for (const QByteArray& field : fields)
        line += (line.isEmpty() ? "" : ",") + CsvField(field);
    return line;
}
