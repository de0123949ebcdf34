#pragma once
// What the program knows of History.csv while it runs. Nothing is read at
// start-up. The file is read on a thread of its own when first needed (the
// Progress window, or anyone who calls StartLoading); from then on every
// appended attempt is also kept in memory. The window thread never waits for
// the disk: it learns of the end of the reading through Loaded().
//
// Usage from the window thread:
//     store.StartLoading();                        // at once; reading goes on
//     connect(&store, &HistoryStore::Loaded, ...); // Attempts() is now whole
//     if (store.IsLoaded()) ... store.Attempts() ...
// Times recorded while the file is being read are added after what was read,
// once: the reading goes on to the end of the file it opened and may meet them.
// A file that cannot be read (a folder, a pipe, no memory for it, megabytes
// without a line end) is reported as Unreadable(); the program goes on.

#include "history/historyfile.h"

#include <QObject>
#include <future>
#include <memory>

class QTimer;

// How many of the times recorded while the file was read the reading met at
// its end: the longest start of recorded that read ends with. (Two times
// alike to the millisecond, case and second would be taken for one.)
size_t TimesAlreadyRead(const std::vector<Attempt>& read, const std::vector<Attempt>& recorded);

class HistoryStore : public QObject {
    Q_OBJECT
public:
    explicit HistoryStore(QString path, QObject* parent = nullptr);
    ~HistoryStore() override;   // abandons a reading or a header upgrade in progress

    const QString& Path() const { return path_; }

    // Appends to the file, with the setup scramble shown for the attempt,
    // if any, and keeps the attempt in memory once the file is read (or being
    // read), whether the file took it or not. A line the file did not take
    // (no room, no rights, another copy holding the file's lock) waits, in
    // order, and goes before the next one; the lock is never waited on. The
    // first refused write of the run returns the error text to show; later
    // ones, a lock found taken, and every write that succeeds return an
    // empty text: the waiting count tells of them.
    QString Record(const Attempt& attempt, const QString& scramble = QString(),
                   const AttemptDetail& detail = AttemptDetail());

    // Times accepted but not yet in the file.
    int PendingCount() const { return static_cast<int>(pending_.size()); }
    // Tries the waiting lines again, all in one write; true when none wait.
    // A timer calls it every few seconds while any wait; the shut-down and
    // the session's end call it once more.
    bool RetryPending();

    // After the first append of the run that reached the file, an older
    // header is brought up to today's on a worker thread, once; any failure
    // leaves the file as it was, and the next run tries again. Waits for
    // that upgrade (tests, benchmarks): Unchanged when none was started.
    ReplaceOutcome WaitForHeaderUpgrade();

    // Starts reading the file in the background, unless it is read or being
    // read. Returns at once; Loaded() follows on this object's thread.
    void StartLoading();
    // Drops a reading in progress (the window that wanted it was closed, the
    // program ends); the next StartLoading begins again.
    void AbandonLoading();
    // The file was rewritten (an import): read it again, if it was read or
    // being read. What was read stays in view until Loaded() tells the new.
    void Reload();
    // Reads at once on the calling thread (tools, tests, benchmarks).
    void EnsureLoaded();

    bool IsLoaded() const { return loaded_; }
    bool Loading() const { return job_ != nullptr; }
    double LoadedShare() const;   // how much of the file has been read, 0 to 1
    const std::vector<Attempt>& Attempts() const { return content_.attempts; }
    // The recognition marks of the split attempts among Attempts(), in order.
    const std::vector<AttemptSplit>& Splits() const { return content_.splits; }
    // The naming drill's answers, right and wrong, in order.
    const std::vector<DrillRecord>& Drill() const { return content_.drill; }
    int SkippedLines() const { return content_.skippedLines; }
    bool Unreadable() const { return unreadable_; }   // something is at the name, but not a file that reads

signals:
    void Loaded();
    // The number of waiting lines changed (0: all written).
    void PendingChanged(int count);

private:
    struct Job;
    struct PendingLine {
        Attempt attempt;
        AttemptDetail detail;
        QByteArray line;
    };
    void Finish(const std::shared_ptr<Job>& job);
    void KeepInMemory(const Attempt& attempt, const AttemptDetail& detail);
    void AddRecordedMeanwhile(size_t timesAlreadyRead);
    AppendOutcome WritePending();
    void TellPendingChange(int before);
    void StartHeaderUpgrade();

    QString path_;
    bool loaded_ = false;
    bool unreadable_ = false;
    bool failureReported_ = false;
    HistoryContent content_;
    std::shared_ptr<Job> job_;          // the reading in progress
    std::vector<Attempt> recordedMeanwhile_;
    std::vector<AttemptSplit> splitsMeanwhile_;   // attempt: the place in recordedMeanwhile_
    std::vector<DrillRecord> drillMeanwhile_;
    std::vector<PendingLine> pending_;  // accepted, not yet in the file, in order
    QTimer* retryTimer_ = nullptr;
    bool upgradeStarted_ = false;
    std::shared_ptr<std::atomic<bool>> upgradeAbandoned_ = std::make_shared<std::atomic<bool>>(false);
    std::future<ReplaceOutcome> upgrade_;   // its thread is joined when this ends
};
