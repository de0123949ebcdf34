#pragma once
// The three files other timers write, read into their solves as the file
// keeps them: csTimer's JSON export, csTimer's CSV export and TwistyTimer's
// backup. Which solve is which case, and which to leave out, is decided after
// (interchange/importread.cpp). No widgets.

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// A file holding this many solves or more is refused whole.
inline constexpr qint64 kMaxImportSolves = 100000;

// Why the file's own reading leaves a solve out.
enum class SolveRefusal { None, Unreadable, Dnf, AnotherPuzzle, AnotherDrill };

struct RawSolve {
    QString where;                   // "session 2 (OLL), solve 14", "line 31"
    SolveRefusal refused = SolveRefusal::None;
    qint64 totalMs = 0;              // with a +2 already in
    std::optional<qint64> splitMs;   // the end of the first of two phases
    qint64 startUnixMs = 0;
    QString scramble;
    QString comment;
};

struct RawReading {
    QString format;   // "csTimer", "csTimer CSV", "TwistyTimer"
    QString source;   // "cstimer", "twistytimer"
    std::vector<RawSolve> solves;
    QString error;    // the file refused whole, for the user
};

enum class ImportFormat { CsTimerJson, CsTimerCsv, TwistyTimer };

// The format the content's start shows; nothing when it is none of them.
std::optional<ImportFormat> DetectImportFormat(const QByteArray& content);

// The solves of content in the given format; russian: the language of the
// places and the error.
RawReading ReadImportFormat(ImportFormat format, const QByteArray& content, bool russian);
