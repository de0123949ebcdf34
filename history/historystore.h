#pragma once
// What the program knows of History.csv while it runs. Nothing is read at
// start-up: the file is read the first time the Progress window needs it,
// and from then on every appended attempt is also kept in memory. No widgets.

#include "history/historyfile.h"

class HistoryStore {
public:
    explicit HistoryStore(QString path) : path_(std::move(path)) {}

    const QString& Path() const { return path_; }

    // Appends to the file (and to memory once read), with the setup
    // scramble shown for the attempt, if any. The first refused write of
    // the run returns the error text to show; later ones, and every write
    // that succeeds, return an empty text.
    QString Record(const Attempt& attempt, const QString& scramble = QString());

    // Reads the file the first time; later calls keep what was read.
    void EnsureLoaded();
    bool Loaded() const { return loaded_; }
    const std::vector<Attempt>& Attempts() const { return content_.attempts; }
    int SkippedLines() const { return content_.skippedLines; }
    bool Unreadable() const { return unreadable_; }   // something is at the name, but not a file that opens

private:
    QString path_;
    bool loaded_ = false;
    bool unreadable_ = false;
    bool failureReported_ = false;
    HistoryContent content_;
};
