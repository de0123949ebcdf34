#include "history/historystore.h"
#include "trainer/errors.h"

#include <QFile>

QString HistoryStore::Record(const Attempt& attempt, const QString& scramble)
{
    if (!AppendAttempt(path_, attempt, scramble)) {
        if (failureReported_)
            return {};
        failureReported_ = true;
        return UnableToWriteText(path_);
    }
    // Memory mirrors the file: a time the file refused is not shown either.
    if (loaded_)
        content_.attempts.push_back(attempt);
    return {};
}

void HistoryStore::EnsureLoaded()
{
    if (loaded_)
        return;
    loaded_ = true;
    QFile file;
    const HistoryOpening opening = OpenHistoryForReading(path_, file);
    if (opening != HistoryOpening::Opened) {
        unreadable_ = opening == HistoryOpening::Refused;
        return;
    }
    content_ = ParseHistory(file.readAll());
}
