#include "interchange/export.h"

#include "interchange/historylines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

bool NeedsJsonEscape(const QByteArray& utf8)
{
    return std::any_of(utf8.begin(), utf8.end(),
                       [](char c) { return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20; });
}

// JSON's string form, appended to out: quotes and backslashes escaped,
// control characters as \u00XX, everything else as its UTF-8 bytes (as
// JSON.stringify writes it).
void AppendJsonString(QByteArray& out, const QByteArray& utf8)
{
    out += '"';
    if (!NeedsJsonEscape(utf8)) {
        out += utf8;
    } else {
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
    }
    out += '"';
}

QByteArray JsonString(const QByteArray& utf8)
{
    QByteArray out;
    AppendJsonString(out, utf8);
    return out;
}

QByteArray JsonString(const QString& text) { return JsonString(text.toUtf8()); }

// TwistyTimer's reader takes a doubled quote inside a quoted field as one
// quote. Appended to out, quotes included.
void AppendTwistyField(QByteArray& out, QByteArray utf8)
{
    if (utf8.contains('"'))
        utf8.replace("\"", "\"\"");
    out += '"';
    out += utf8;
    out += '"';
}

QByteArray TwistyField(const QString& text)
{
    QByteArray out;
    AppendTwistyField(out, text.toUtf8());
    return out;
}

QByteArray Number(qint64 value) { return QByteArray::number(value); }

// The comment of an attempt, encoded for the file, made once for each case,
// level, recognition and exam flag rather than once a line.
class Comments {
public:
    using Encoding = QByteArray (*)(const QString&);
    Comments(const CaseIdentityTable& cases, Encoding encode) : cases_(cases), encode_(encode) {}

    const QByteArray& Of(const Attempt& attempt)
    {
        const int caseNumber = attempt.caseNumber;
        if (caseNumber < 0 || caseNumber >= kCaseSlots) {
            other_ = encode_(AttemptComment(attempt, cases_));
            return other_;
        }
        const int key = ((((attempt.set == CaseSet::OLL ? 0 : 1) * kCaseSlots + caseNumber) * 2
                          + (attempt.level == Level::Hard ? 1 : 0)) * 2 + (attempt.twoSide ? 1 : 0)) * 2
                        + (attempt.exam ? 1 : 0);
        QByteArray& encoded = encoded_[static_cast<size_t>(key)];
        if (encoded.isEmpty())
            encoded = encode_(AttemptComment(attempt, cases_));
        return encoded;
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
    static constexpr int kCaseSlots = 64;
    const CaseIdentityTable& cases_;
    Encoding encode_;
    std::array<QByteArray, 2 * kCaseSlots * 8> encoded_;
    QByteArray other_;
};

struct Session {
    CaseSet set = CaseSet::OLL;
    QByteArray solves;   // "[...],[...]"
    int count = 0;
    qint64 totalMs = 0;
    qint64 first = 0;
    qint64 last = 0;
    bool split = false;   // some solve has its recognition timed apart: two phases

    // A split solve is [[0,total,split],...]: csTimer keeps a solve's phases
    // as the times at which they ended, the last phase's end (the total)
    // first, then back to the first phase's end.
    void Add(const Attempt& attempt, const QString& scramble, const AttemptDetail& detail,
             const QByteArray& encodedComment)
    {
        const qint64 start = StartSeconds(attempt);
        first = count == 0 ? start : std::min(first, start);
        last = count == 0 ? start : std::max(last, start);
        ++count;
        totalMs += attempt.milliseconds;
        if (!solves.isEmpty())
            solves += ',';
        solves += "[[0,";
        solves += Number(attempt.milliseconds);
        if (attempt.mode == AttemptMode::Split && detail.splitMilliseconds >= 0) {
            split = true;
            solves += ',';
            solves += Number(detail.splitMilliseconds);
        }
        solves += "],";
        AppendJsonString(solves, scramble.toUtf8());
        solves += ',';
        solves += encodedComment;
        solves += ',';
        solves += Number(start);
        solves += ']';
    }

    // What csTimer keeps of a session beside its solves: the name, the
    // scramble type (and two phases, recognition and execution, when any
    // solve was split), the place in the list, the count, DNFs and mean (-1:
    // none), and the first and last dates.
    QByteArray Data(int rank) const
    {
        const qint64 mean = count ? std::llround(static_cast<double>(totalMs) / count) : -1;
        QByteArray data = "{\"name\":" + JsonString(ExportedSetName(set)) + ",\"opt\":{\"scrType\":"
                          + (set == CaseSet::OLL ? "\"oll\"" : "\"pll\"")
                          + (split ? ",\"phases\":2" : "") + "},\"rank\":" + Number(rank)
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
    Comments comments(cases, [](const QString& text) { return JsonString(text); });
    counts.skippedLines = ForEachAttempt(historyContent, [&](const Attempt& attempt, const QString& scramble,
                                                             const AttemptDetail& detail) {
        sessions[attempt.set == CaseSet::OLL ? 0 : 1].Add(attempt, scramble, detail, comments.Of(attempt));
    });
    counts.oll = sessions[0].count;
    counts.pll = sessions[1].count;
    // A set without times gets no session; an empty history still names both.
    std::vector<const Session*> kept;
    for (const Session& session : sessions)
        if (session.count > 0 || counts.oll + counts.pll == 0)
            kept.push_back(&session);
    QByteArray out = "{";
    out.reserve(sessions[0].solves.size() + sessions[1].solves.size() + 1024);
    QByteArray sessionData = "{";
    for (size_t i = 0; i < kept.size(); ++i) {
        const QByteArray id = Number(static_cast<qint64>(i + 1));
        out += "\"session" + id + "\":[";
        out += kept[i]->solves;
        out += "],";
        sessionData += (i ? ",\"" : "\"") + id + "\":" + kept[i]->Data(static_cast<int>(i + 1));
    }
    sessionData += '}';
    out += "\"properties\":{\"sessionData\":" + JsonString(sessionData) + "}}";
    return out;
}

QByteArray TwistyTimerExport(const QByteArray& historyContent, const CaseIdentityTable& cases, ExportCounts& counts)
{
    QByteArray out = "Puzzle,Category,Time(millis),Date(millis),Scramble,Penalty,Comment\n";
    out.reserve(historyContent.size() + historyContent.size() / 2);
    const std::array<QByteArray, 2> categories = {TwistyField(ExportedSetName(CaseSet::OLL)),
                                                  TwistyField(ExportedSetName(CaseSet::PLL))};
    Comments comments(cases, &TwistyField);
    counts.skippedLines = ForEachAttempt(historyContent, [&](const Attempt& attempt, const QString& scramble,
                                                             const AttemptDetail&) {
        const bool oll = attempt.set == CaseSet::OLL;
        (oll ? counts.oll : counts.pll)++;
        out += "\"333\";";
        out += categories[oll ? 0 : 1];
        out += ";\"";
        out += Number(attempt.milliseconds);
        out += "\";\"";
        out += Number(attempt.utcSeconds * 1000);
        out += "\";";
        AppendTwistyField(out, scramble.toUtf8());
        out += ";\"0\";";
        out += comments.Of(attempt);
        out += '\n';
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
