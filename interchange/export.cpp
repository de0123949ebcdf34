#include "interchange/export.h"

#include "interchange/historylines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// JSON's string form: quotes and backslashes escaped, control characters as
// \u00XX, everything else as its UTF-8 bytes (as JSON.stringify writes it).
QByteArray JsonString(const QByteArray& utf8)
{
    QByteArray out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            static const char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[(c >> 4) & 0xf];
            out += kHex[c & 0xf];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

QByteArray JsonString(const QString& text) { return JsonString(text.toUtf8()); }

// TwistyTimer's reader takes a doubled quote inside a quoted field as one quote.
QByteArray TwistyField(const QString& text)
{
    QByteArray field = text.toUtf8();
    field.replace("\"", "\"\"");
    return '"' + field + '"';
}

QByteArray Number(qint64 value) { return QByteArray::number(value); }

// The comments of a case differ only in the level and the flags: each case's
// title is looked up once, not once a line.
class Comments {
public:
    explicit Comments(const CaseIdentityTable& cases) : cases_(cases) {}
    QString Of(const Attempt& attempt)
    {
        const int set = attempt.set == CaseSet::OLL ? 0 : 1;
        const int caseNumber = attempt.caseNumber;
        if (caseNumber < 0 || caseNumber >= static_cast<int>(titles_[set].size()))
            return AttemptComment(attempt, cases_);
        QString& title = titles_[set][static_cast<size_t>(caseNumber)];
        if (title.isEmpty())
            title = cases_.Title(attempt.set, caseNumber);
        return title + Details(attempt);
    }
    static QString Details(const Attempt& attempt)
    {
        QString details = attempt.level == Level::Hard ? QStringLiteral(", Hard") : QStringLiteral(", Easy");
        if (attempt.twoSide)
            details += QStringLiteral(", 2-side");
        if (attempt.exam)
            details += QStringLiteral(", exam");
        return details;
    }

private:
    const CaseIdentityTable& cases_;
    std::array<std::array<QString, 64>, 2> titles_;
};

struct Session {
    CaseSet set = CaseSet::OLL;
    QByteArray solves;   // "[...],[...]"
    int count = 0;
    qint64 totalMs = 0;
    qint64 first = 0;
    qint64 last = 0;

    void Add(const Attempt& attempt, const QString& scramble, const QString& comment)
    {
        const qint64 start = StartSeconds(attempt);
        first = count == 0 ? start : std::min(first, start);
        last = count == 0 ? start : std::max(last, start);
        ++count;
        totalMs += attempt.milliseconds;
        if (!solves.isEmpty())
            solves += ',';
        solves += "[[0," + Number(attempt.milliseconds) + "]," + JsonString(scramble) + ',' + JsonString(comment) + ','
                  + Number(start) + ']';
    }

    // What csTimer keeps of a session beside its solves: the name, the
    // scramble type, the place in the list, the count, DNFs and mean (-1:
    // none), and the first and last dates.
    QByteArray Data(int rank) const
    {
        const qint64 mean = count ? std::llround(static_cast<double>(totalMs) / count) : -1;
        QByteArray data = "{\"name\":" + JsonString(ExportedSetName(set)) + ",\"opt\":{\"scrType\":"
                          + (set == CaseSet::OLL ? "\"oll\"" : "\"pll\"") + "},\"rank\":" + Number(rank)
                          + ",\"stat\":[" + Number(count) + ",0," + Number(mean) + ']';
        if (count)
            data += ",\"date\":[" + Number(first) + ',' + Number(last) + ']';
        return data + '}';
    }
};

QByteArray CsTimerExport(const QByteArray& historyContent, const CaseIdentityTable& cases, ExportCounts& counts)
{
    std::array<Session, 2> sessions;
    sessions[1].set = CaseSet::PLL;
    Comments comments(cases);
    counts.skippedLines = ForEachAttempt(historyContent, [&](const Attempt& attempt, const QString& scramble) {
        sessions[attempt.set == CaseSet::OLL ? 0 : 1].Add(attempt, scramble, comments.Of(attempt));
    });
    counts.oll = sessions[0].count;
    counts.pll = sessions[1].count;
    // A set without times gets no session; an empty history still names both.
    std::vector<const Session*> kept;
    for (const Session& session : sessions)
        if (session.count > 0 || counts.oll + counts.pll == 0)
            kept.push_back(&session);
    QByteArray out = "{";
    QByteArray sessionData = "{";
    for (size_t i = 0; i < kept.size(); ++i) {
        const QByteArray id = Number(static_cast<qint64>(i + 1));
        out += "\"session" + id + "\":[" + kept[i]->solves + "],";
        sessionData += (i ? ",\"" : "\"") + id + "\":" + kept[i]->Data(static_cast<int>(i + 1));
    }
    sessionData += '}';
    out += "\"properties\":{\"sessionData\":" + JsonString(sessionData) + "}}";
    return out;
}

QByteArray TwistyTimerExport(const QByteArray& historyContent, const CaseIdentityTable& cases, ExportCounts& counts)
{
    QByteArray out = "Puzzle,Category,Time(millis),Date(millis),Scramble,Penalty,Comment\n";
    Comments comments(cases);
    counts.skippedLines = ForEachAttempt(historyContent, [&](const Attempt& attempt, const QString& scramble) {
        (attempt.set == CaseSet::OLL ? counts.oll : counts.pll)++;
        out += "\"333\";" + TwistyField(ExportedSetName(attempt.set)) + ";\"" + Number(attempt.milliseconds)
               + "\";\"" + Number(attempt.utcSeconds * 1000) + "\";" + TwistyField(scramble) + ";\"0\";"
               + TwistyField(comments.Of(attempt)) + '\n';
    });
    return out;
}

} // namespace

std::optional<ExportFormat> ExportFormatNamed(const QString& name)
{
    if (name.compare(QLatin1String("cstimer"), Qt::CaseInsensitive) == 0)
        return ExportFormat::CsTimer;
    if (name.compare(QLatin1String("twistytimer"), Qt::CaseInsensitive) == 0)
        return ExportFormat::TwistyTimer;
    return std::nullopt;
}

QString ExportedSetName(CaseSet set) { return QStringLiteral("Tesselo ") + SetName(set); }

QString AttemptComment(const Attempt& attempt, const CaseIdentityTable& cases)
{
    return cases.Title(attempt.set, attempt.caseNumber) + Comments::Details(attempt);
}

qint64 StartSeconds(const Attempt& attempt)
{
    const qint64 startMs = attempt.utcSeconds * 1000 - attempt.milliseconds;
    return startMs >= 0 ? startMs / 1000 : -((-startMs + 999) / 1000);
}

QByteArray ExportHistory(ExportFormat format, const QByteArray& historyContent, const CaseIdentityTable& cases,
                         ExportCounts* counts)
{
    ExportCounts ignored;
    ExportCounts& kept = counts ? *counts : ignored;
    kept = ExportCounts();
    return format == ExportFormat::CsTimer ? CsTimerExport(historyContent, cases, kept)
                                           : TwistyTimerExport(historyContent, cases, kept);
}
