#include "interchange/importformats.h"

#include "core/language.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>
#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Dates past this (the year 3000) are not a real solve's.
constexpr qint64 kLatestUnixSeconds = 32503680000;
// Larger numbers are no time or date of a solve; checked before rounding
// so that no conversion overflows.
constexpr double kLargestNumber = 1e15;

QByteArray WithoutByteOrderMark(const QByteArray& content)
{
    return content.startsWith("\xEF\xBB\xBF") ? content.mid(3) : content;
}

QByteArray FirstLine(const QByteArray& content)
{
    const qsizetype end = content.indexOf('\n');
    return (end < 0 ? content : content.left(end)).trimmed();
}

QString TooManySolves(bool russian)
{
    return Tr(russian, QStringLiteral("В файле 100 000 сборок или больше: Tesselo импортирует меньше за один раз."),
              QStringLiteral("The file holds 100,000 solves or more: Tesselo imports fewer at a time."));
}

std::optional<qint64> WholeNumber(const QByteArray& text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || std::abs(static_cast<double>(value)) > kLargestNumber)
        return std::nullopt;
    return value;
}

// ---- Fields split by a separator, quoted with " where they hold one ----

// Records of a separated text: a field may be quoted, with "" for a quote
// inside, and then may hold the separator and line ends.
class Records {
public:
    Records(const QByteArray& content, char separator) : text_(content), separator_(separator) {}

    // The next record that is not blank; false at the end. line: where it
    // starts (from 1); whole: false when a quote is left open at the end.
    bool Next(std::vector<QByteArray>& fields, int& line, bool& whole)
    {
        while (at_ < text_.size()) {
            line = line_;
            whole = ReadRecord(fields);
            if (fields.size() > 1 || !fields.front().isEmpty() || !whole)
                return true;
        }
        return false;
    }

private:
    bool ReadRecord(std::vector<QByteArray>& fields)
    {
        fields.assign(1, QByteArray());
        bool quoted = false;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (quoted) {
                if (c == '"' && at_ < text_.size() && text_[at_] == '"') {
                    fields.back() += '"';
                    ++at_;
                } else if (c == '"') {
                    quoted = false;
                } else {
                    line_ += c == '\n' ? 1 : 0;
                    fields.back() += c;
                }
            } else if (c == '"' && fields.back().isEmpty()) {
                quoted = true;
            } else if (c == separator_) {
                fields.emplace_back();
            } else if (c == '\n') {
                ++line_;
                break;
            } else if (c != '\r' || (at_ < text_.size() && text_[at_] != '\n')) {
                fields.back() += c;
            }
        }
        return !quoted;
    }

    const QByteArray& text_;
    char separator_;
    qsizetype at_ = 0;
    int line_ = 1;
};

QString LineWhere(int line, bool russian)
{
    return Tr(russian, QStringLiteral("строка %1"), QStringLiteral("line %1")).arg(line);
}

// ---- csTimer's JSON export ----

QString NotCsTimerJson(const QString& why, bool russian)
{
    return Tr(russian, QStringLiteral("Файл — JSON, но не экспорт csTimer: %1."),
              QStringLiteral("The file is JSON but not a csTimer export: %1."))
        .arg(why);
}

QString BrokenJson(const QByteArray& content, const QJsonParseError& error, bool russian)
{
    if (error.offset >= content.trimmed().size())
        return Tr(russian, QStringLiteral("Файл обрывается: его JSON не закончен."),
                  QStringLiteral("The file ends too early: its JSON is cut short."));
    return Tr(russian, QStringLiteral("JSON файла испорчен около байта %1."),
              QStringLiteral("The file's JSON is broken near byte %1."))
        .arg(error.offset);
}

struct SessionOptions {
    QString name;
    QString scrambleType;   // csTimer's own key: "333", "oll", "zbll", "mgmp", ...
};

struct CsTimerSession {
    int number = 0;
    QJsonArray solves;
    SessionOptions options;
};

// What a session's scramble type says of its solves: nothing for the cube's
// whole solves and the program's own drills, a reason to leave them out for
// other puzzles and for drills that time more than an OLL or a PLL, whose
// scrambles may still set up one (a ZBLL sets up an OLL case, a whole last
// layer either).
SolveRefusal RefusalOfScrambleType(const QString& type)
{
    static const QStringList kOtherPuzzles = {QStringLiteral("222"), QStringLiteral("444"), QStringLiteral("555"),
                                              QStringLiteral("666"), QStringLiteral("777"), QStringLiteral("mgm"),
                                              QStringLiteral("pyr"), QStringLiteral("skb"), QStringLiteral("sq"),
                                              QStringLiteral("clk")};
    static const QStringList kOtherDrills = {QStringLiteral("ll"),    QStringLiteral("zbll"), QStringLiteral("zzll"),
                                             QStringLiteral("coll"),  QStringLiteral("cll"),  QStringLiteral("ell"),
                                             QStringLiteral("2gll"),  QStringLiteral("ttll"), QStringLiteral("ollcp")};
    if (std::any_of(kOtherPuzzles.begin(), kOtherPuzzles.end(), [&](const QString& p) { return type.startsWith(p); }))
        return SolveRefusal::AnotherPuzzle;
    return kOtherDrills.contains(type) ? SolveRefusal::AnotherDrill : SolveRefusal::None;
}

// The sessions' names and scramble types kept in properties.sessionData, a
// JSON text of its own.
bool ReadSessionOptions(const QJsonObject& root, std::map<int, SessionOptions>& options)
{
    const QJsonValue properties = root.value(QLatin1String("properties"));
    if (properties.isUndefined())
        return true;
    if (!properties.isObject())
        return false;
    const QJsonValue sessionData = properties.toObject().value(QLatin1String("sessionData"));
    if (sessionData.isUndefined())
        return true;
    if (!sessionData.isString())
        return false;
    const QJsonDocument data = QJsonDocument::fromJson(sessionData.toString().toUtf8());
    if (!data.isObject())
        return false;
    const QJsonObject sessions = data.object();
    for (auto it = sessions.begin(); it != sessions.end(); ++it) {
        const QJsonObject session = it.value().toObject();
        const QJsonValue name = session.value(QLatin1String("name"));
        SessionOptions& read = options[it.key().toInt()];
        if (name.isString() || name.isDouble())
            read.name = name.toVariant().toString();
        read.scrambleType = session.value(QLatin1String("opt")).toObject().value(QLatin1String("scrType")).toString();
    }
    return true;
}

// The sessions in their order; an error when one is not a list.
QString ReadSessions(const QJsonObject& root, std::vector<CsTimerSession>& sessions, bool russian)
{
    static const QRegularExpression kSessionKey(QStringLiteral("^session([1-9][0-9]{0,8})$"));
    std::map<int, SessionOptions> options;
    if (!ReadSessionOptions(root, options))
        return NotCsTimerJson(Tr(russian, QStringLiteral("properties.sessionData не описывает сессии"),
                                 QStringLiteral("properties.sessionData does not describe the sessions")),
                              russian);
    for (auto it = root.begin(); it != root.end(); ++it) {
        const QRegularExpressionMatch match = kSessionKey.match(it.key());
        if (!match.hasMatch())
            continue;
        const int number = match.captured(1).toInt();
        if (!it.value().isArray())
            return NotCsTimerJson(Tr(russian, QStringLiteral("сессия %1 не список сборок"),
                                     QStringLiteral("session %1 is not a list of solves"))
                                      .arg(number),
                                  russian);
        sessions.push_back({number, it.value().toArray(), options.count(number) ? options[number] : SessionOptions()});
    }
    std::sort(sessions.begin(), sessions.end(),
              [](const CsTimerSession& a, const CsTimerSession& b) { return a.number < b.number; });
    if (sessions.empty())
        return NotCsTimerJson(Tr(russian, QStringLiteral("в нём нет сессий"), QStringLiteral("it holds no sessions")),
                              russian);
    return QString();
}

bool IsNumber(const QJsonValue& value)
{
    return value.isDouble() && std::abs(value.toDouble()) <= kLargestNumber;
}

qint64 Rounded(const QJsonValue& value) { return std::llround(value.toDouble()); }

// One solve, [[penalty, time(, ends of the earlier phases, last first)],
// scramble, comment, start in seconds]; false when its types are wrong.
bool ReadCsTimerSolve(const QJsonValue& value, RawSolve& solve)
{
    const QJsonArray fields = value.toArray();
    if (!value.isArray() || fields.size() < 2 || !fields[0].isArray() || !fields[1].isString())
        return false;
    if ((fields.size() > 2 && !fields[2].isString()) || (fields.size() > 3 && !IsNumber(fields[3])))
        return false;
    const QJsonArray times = fields[0].toArray();
    if (times.size() < 2 || !std::all_of(times.begin(), times.end(), IsNumber))
        return false;
    solve.scramble = fields[1].toString();
    solve.comment = fields.size() > 2 ? fields[2].toString() : QString();
    const qint64 penalty = Rounded(times[0]);
    const qint64 time = Rounded(times[1]);
    // A penalty added to a time below zero would hide it as a real one.
    solve.totalMs = time < 0 ? time : time + std::max<qint64>(penalty, 0);
    if (times.size() == 3)
        solve.splitMs = Rounded(times[2]);
    const qint64 startSeconds = fields.size() > 3 ? Rounded(fields[3]) : -1;
    solve.startUnixMs = startSeconds * 1000;
    if (penalty == -1)
        solve.refused = SolveRefusal::Dnf;
    else if (penalty < 0 || startSeconds < 0 || startSeconds > kLatestUnixSeconds
             || (solve.splitMs && (*solve.splitMs < 0 || *solve.splitMs > time)))
        solve.refused = SolveRefusal::Unreadable;
    return true;
}

QString SolveWhere(const CsTimerSession& session, qsizetype index, bool russian)
{
    if (session.options.name.isEmpty())
        return Tr(russian, QStringLiteral("сессия %1, сборка %2"), QStringLiteral("session %1, solve %2"))
            .arg(session.number)
            .arg(index + 1);
    return Tr(russian, QStringLiteral("сессия %1 (%2), сборка %3"), QStringLiteral("session %1 (%2), solve %3"))
        .arg(session.number)
        .arg(session.options.name)
        .arg(index + 1);
}

void ReadCsTimerJson(const QByteArray& content, bool russian, RawReading& reading)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(content, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        reading.error = BrokenJson(content, parseError, russian);
        return;
    }
    if (!document.isObject()) {
        reading.error = NotCsTimerJson(Tr(russian, QStringLiteral("это не объект с сессиями"),
                                          QStringLiteral("it is not an object of sessions")),
                                       russian);
        return;
    }
    std::vector<CsTimerSession> sessions;
    reading.error = ReadSessions(document.object(), sessions, russian);
    qint64 total = 0;
    for (const CsTimerSession& session : sessions)
        total += session.solves.size();
    if (reading.error.isEmpty() && total >= kMaxImportSolves)
        reading.error = TooManySolves(russian);
    if (!reading.error.isEmpty())
        return;
    reading.solves.reserve(static_cast<size_t>(total));
    for (const CsTimerSession& session : sessions)
        for (qsizetype i = 0; i < session.solves.size(); ++i) {
            RawSolve solve;
            solve.where = SolveWhere(session, i, russian);
            if (!ReadCsTimerSolve(session.solves[i], solve)) {
                reading.error = NotCsTimerJson(
                    Tr(russian, QStringLiteral("%1 — не сборка csTimer ([[штраф, время], скрамбл, комментарий, дата])"),
                       QStringLiteral("%1 is not a csTimer solve ([[penalty, time], scramble, comment, date])"))
                        .arg(solve.where),
                    russian);
                reading.solves.clear();
                return;
            }
            if (solve.refused == SolveRefusal::None)
                solve.refused = RefusalOfScrambleType(session.options.scrambleType);
            reading.solves.push_back(std::move(solve));
        }
}

// ---- csTimer's CSV export ----

// A time as csTimer shows it: "12.34", "1:02.345", "1:02:03.45", "12.34+"
// (a +2, already in), "DNF(12.34)" or "DNF".
struct ShownTime {
    qint64 ms = 0;
    bool dnf = false;
};

std::optional<qint64> Digits(const QByteArray& text, int most)
{
    if (text.isEmpty() || text.size() > most
        || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return text.toLongLong();
}

std::optional<qint64> ParseClock(const QByteArray& text)
{
    const qsizetype dot = text.indexOf('.');
    const QByteArray whole = dot < 0 ? text : text.left(dot);
    const QByteArray fraction = dot < 0 ? QByteArray() : text.mid(dot + 1);
    const std::optional<qint64> thousandths = fraction.isEmpty() ? 0 : Digits(fraction, 3);
    const QList<QByteArray> parts = whole.split(':');
    if (!thousandths || parts.size() > 3 || (dot >= 0 && fraction.isEmpty()))
        return std::nullopt;
    qint64 seconds = 0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const std::optional<qint64> part = Digits(parts[i], 9);
        if (!part || (i > 0 && *part >= 60))
            return std::nullopt;
        seconds = seconds * 60 + *part;
    }
    int scale = 1;
    for (qsizetype i = fraction.size(); i < 3; ++i)
        scale *= 10;
    return seconds * 1000 + *thousandths * scale;
}

std::optional<ShownTime> ParseShownTime(QByteArray text)
{
    text = text.trimmed();
    if (text == "DNF" || (text.startsWith("DNF(") && text.endsWith(')')))
        return ShownTime{0, true};
    if (text.endsWith('+'))
        text.chop(1);
    const std::optional<qint64> ms = ParseClock(text);
    if (!ms)
        return std::nullopt;
    return ShownTime{*ms, false};
}

// csTimer writes the date as the browser's local time shows it.
std::optional<qint64> ParseLocalDate(const QByteArray& text)
{
    const QDateTime date =
        QDateTime::fromString(QString::fromLatin1(text.trimmed()), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (!date.isValid())
        return std::nullopt;
    const qint64 ms = date.toMSecsSinceEpoch();
    if (ms < 0 || ms > kLatestUnixSeconds * 1000)
        return std::nullopt;
    return ms;
}

struct CsvColumns {
    int time = -1, scramble = -1, date = -1, comment = -1, firstPhase = -1;
    int phases = 0;
    int last = -1;   // the highest column a solve needs
};

CsvColumns FindCsvColumns(const std::vector<QByteArray>& header)
{
    CsvColumns columns;
    for (int i = 0; i < static_cast<int>(header.size()); ++i) {
        const QByteArray name = header[static_cast<size_t>(i)].trimmed();
        int* column = name == "Time"       ? &columns.time
                      : name == "Scramble" ? &columns.scramble
                      : name == "Date"     ? &columns.date
                      : name == "Comment"  ? &columns.comment
                      : name == "P.1"      ? &columns.firstPhase
                                           : nullptr;
        if (column && *column < 0)
            *column = i;
        if (name.startsWith("P."))
            ++columns.phases;
    }
    columns.last = std::max({columns.time, columns.scramble, columns.date, columns.comment});
    return columns;
}

void ReadCsvSolve(const std::vector<QByteArray>& fields, const CsvColumns& columns, RawSolve& solve)
{
    solve.refused = SolveRefusal::Unreadable;
    if (static_cast<int>(fields.size()) <= columns.last)
        return;
    const std::optional<ShownTime> time = ParseShownTime(fields[static_cast<size_t>(columns.time)]);
    const std::optional<qint64> start = ParseLocalDate(fields[static_cast<size_t>(columns.date)]);
    if (!time || !start)
        return;
    solve.refused = time->dnf ? SolveRefusal::Dnf : SolveRefusal::None;
    solve.totalMs = time->ms;
    solve.startUnixMs = *start;
    solve.scramble = QString::fromUtf8(fields[static_cast<size_t>(columns.scramble)]);
    if (columns.comment >= 0)
        solve.comment = QString::fromUtf8(fields[static_cast<size_t>(columns.comment)]);
    if (columns.phases == 2 && columns.firstPhase >= 0 && columns.firstPhase < static_cast<int>(fields.size())) {
        const std::optional<qint64> split = ParseClock(fields[static_cast<size_t>(columns.firstPhase)].trimmed());
        if (split && *split <= solve.totalMs)
            solve.splitMs = split;
    }
}

// Hands every record after the header to read; stops with an error at the
// limit of solves.
template <typename ReadRecord>
void ReadRecords(Records& records, bool russian, RawReading& reading, ReadRecord read)
{
    std::vector<QByteArray> fields;
    int line = 0;
    bool whole = true;
    while (records.Next(fields, line, whole)) {
        if (static_cast<qint64>(reading.solves.size()) + 1 >= kMaxImportSolves) {
            reading.error = TooManySolves(russian);
            reading.solves.clear();
            return;
        }
        RawSolve solve;
        solve.where = LineWhere(line, russian);
        solve.refused = SolveRefusal::Unreadable;
        if (whole)
            read(fields, solve);
        reading.solves.push_back(std::move(solve));
    }
}

// The first record, the names of the columns.
std::vector<QByteArray> ReadHeader(Records& records)
{
    std::vector<QByteArray> header;
    int line = 0;
    bool whole = true;
    records.Next(header, line, whole);
    return header;
}

void ReadCsTimerCsv(const QByteArray& content, bool russian, RawReading& reading)
{
    Records records(content, ';');
    const CsvColumns columns = FindCsvColumns(ReadHeader(records));
    for (const auto& [column, name] : {std::pair{columns.time, "Time"}, {columns.scramble, "Scramble"}, {columns.date, "Date"}})
        if (column < 0) {
            reading.error = Tr(russian, QStringLiteral("Файл не является CSV-экспортом csTimer: в нём нет столбца %1."),
                               QStringLiteral("The file is not csTimer's CSV export: it has no %1 column."))
                                .arg(QLatin1String(name));
            return;
        }
    ReadRecords(records, russian, reading, [&](const std::vector<QByteArray>& fields, RawSolve& solve) {
        ReadCsvSolve(fields, columns, solve);
    });
}

// ---- TwistyTimer's backup ----

// Puzzle, Category, Time(millis), Date(millis), Scramble, Penalty, Comment;
// the time has a +2 in already, the date is when the solve was saved.
void ReadTwistySolve(const std::vector<QByteArray>& fields, RawSolve& solve)
{
    solve.refused = SolveRefusal::Unreadable;
    if (fields.size() < 6)
        return;
    const std::optional<qint64> time = WholeNumber(fields[2]);
    const std::optional<qint64> date = WholeNumber(fields[3]);
    const std::optional<qint64> penalty = WholeNumber(fields[5]);
    if (!time || !date || !penalty || *penalty < 0 || *penalty > 2 || *date - *time < 0
        || *date > kLatestUnixSeconds * 1000)
        return;
    solve.totalMs = *time;
    solve.startUnixMs = *date - *time;
    solve.scramble = QString::fromUtf8(fields[4]);
    solve.comment = fields.size() > 6 ? QString::fromUtf8(fields[6]) : QString();
    solve.refused = *penalty == 2                    ? SolveRefusal::Dnf
                    : fields[0].trimmed() != "333" ? SolveRefusal::AnotherPuzzle
                                                   : SolveRefusal::None;
}

void ReadTwistyTimer(const QByteArray& content, bool russian, RawReading& reading)
{
    Records records(content, ';');
    ReadHeader(records);   // the columns stand in a fixed order
    ReadRecords(records, russian, reading, ReadTwistySolve);
}

}  // namespace

std::optional<ImportFormat> DetectImportFormat(const QByteArray& content)
{
    const QByteArray text = WithoutByteOrderMark(content);
    const QByteArray start = text.left(4096).trimmed();
    if (start.startsWith('{'))
        return ImportFormat::CsTimerJson;
    const QByteArray line = FirstLine(start);
    if (line.startsWith("Puzzle,Category,Time(millis),Date(millis),Scramble,Penalty"))
        return ImportFormat::TwistyTimer;
    if (line.startsWith("No.;Time;"))
        return ImportFormat::CsTimerCsv;
    return std::nullopt;
}

RawReading ReadImportFormat(ImportFormat format, const QByteArray& content, bool russian)
{
    RawReading reading;
    const QByteArray text = WithoutByteOrderMark(content);
    switch (format) {
    case ImportFormat::CsTimerJson:
        reading.format = QStringLiteral("csTimer");
        reading.source = QStringLiteral("cstimer");
        ReadCsTimerJson(text, russian, reading);
        break;
    case ImportFormat::CsTimerCsv:
        reading.format = QStringLiteral("csTimer CSV");
        reading.source = QStringLiteral("cstimer");
        ReadCsTimerCsv(text, russian, reading);
        break;
    case ImportFormat::TwistyTimer:
        reading.format = QStringLiteral("TwistyTimer");
        reading.source = QStringLiteral("twistytimer");
        ReadTwistyTimer(text, russian, reading);
        break;
    }
    return reading;
}
