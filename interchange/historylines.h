#pragma once
// History.csv read attempt by attempt, each with the setup scramble it was
// timed under. The store keeps attempts without their scrambles (16 bytes
// each); exports need the scrambles, so they read the file through this,
// which uses the file's own line parser (HistoryLineParser, headers setting
// the column order) and keeps nothing. No widgets.

#include "history/historyfile.h"

#include <QByteArray>
#include <QString>
#include <functional>

// detail: the recognition split of a split attempt (splitMilliseconds -1 without one).
using AttemptVisitor = std::function<void(const Attempt& attempt, const QString& scramble, const AttemptDetail& detail)>;

// Hands every timed attempt of the file's bytes to visit, in the order of the
// file. The lines kept and the lines skipped are those of ParseHistory
// (headers and blank lines passed over, a byte order mark at the start
// ignored, a last line without its line end skipped); the naming drill's
// answers are no solves and are passed over, as ParseHistory keeps them out
// of its attempts. Returns the number of lines skipped.
int ForEachAttempt(const QByteArray& content, const AttemptVisitor& visit);

enum class HistoryFileRead { Read, Missing, Unreadable };

// The whole file's bytes. A missing file reads as empty; anything else at
// the name that does not read (a folder, a pipe, no rights) is Unreadable,
// with the system's error number in *error (EINVAL: not a regular file).
HistoryFileRead ReadHistoryBytes(const QString& path, QByteArray& content, int* error = nullptr);
