#include "history/historystore.h"
#include "trainer/errors.h"

#include <QFile>

QString HistoryStore::Record(const Attempt& attempt)
{
    if (!AppendAttempt(path_, attempt)) {
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
    QFile file(path_);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        unreadable_ = true;
        return;
    }
    content_ = ParseHistory(file.readAll());
}
