#include "history/historystore.h"

#include "history/historyreader.h"
#include "core/errors.h"
#include "platform/descriptorio.h"

#include <QFile>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr size_t kPieceBytes = 1 << 20;
constexpr auto kRetryInterval = std::chrono::seconds(3);
constexpr qint64 kShortestLine = 44;   // "2026-12-09T11:32:05Z,OLL,1,Easy,top,1.470,0\n"

} // namespace

// One reading of the file. The thread only writes here; the window thread
// takes the result after the thread has ended.
struct HistoryStore::Job {
    QString path;
    qint64 length = 0;                  // the bytes the file had when the reading began
    std::atomic<bool> abandoned{false};
    std::atomic<qint64> bytesRead{0};
    bool unreadable = false;
    HistoryContent content;
    std::thread thread;

    void Run();
};

// Reads no further than the length the file had when the reading began:
// what is appended since then is already in the store's memory. Only a
// regular file is read, opened without waiting (a pipe would never end).
void HistoryStore::Job::Run()
{
    HistoryOpening opening = HistoryOpening::Missing;
    const int fd = OpenHistoryForReading(path, opening);
    if (fd < 0) {
        unreadable = opening == HistoryOpening::Refused;
        return;
    }
    HistoryReader reader;
    reader.Reserve(static_cast<size_t>(length / kShortestLine + 16));
    std::vector<char> piece(kPieceBytes);
    qint64 left = length;
    while (left > 0 && !abandoned.load(std::memory_order_relaxed)) {
        const ssize_t got = ReadSome(fd, piece.data(), static_cast<size_t>(std::min<qint64>(left, kPieceBytes)));
        if (got < 0) {
            unreadable = true;
            break;
        }
        if (got == 0)
            break;   // cut short since the reading began
        reader.Feed(piece.data(), static_cast<size_t>(got));
        left -= got;
        bytesRead.store(length - left, std::memory_order_relaxed);
    }
    ::close(fd);
    content = reader.Finish();
    // A file of damaged lines leaves room unused: give it back.
    if (content.attempts.capacity() > content.attempts.size() + content.attempts.size() / 4 + 1024)
        content.attempts.shrink_to_fit();
}

HistoryStore::HistoryStore(QString path, QObject* parent) : QObject(parent), path_(std::move(path))
{
    setObjectName(QStringLiteral("HistoryStore"));
    retryTimer_ = new QTimer(this);
    retryTimer_->setObjectName(QStringLiteral("historyRetryTimer"));
    retryTimer_->setInterval(kRetryInterval);
    connect(retryTimer_, &QTimer::timeout, this, &HistoryStore::RetryPending);
}

HistoryStore::~HistoryStore() { AbandonLoading(); }

QString HistoryStore::Record(const Attempt& attempt, const QString& scramble)
{
    KeepInMemory(attempt);
    const int before = PendingCount();
    pending_.push_back({attempt, HistoryLine(attempt, scramble)});
    const AppendOutcome outcome = WritePending();
    TellPendingChange(before);
    if (outcome != AppendOutcome::Refused || failureReported_)
        return {};
    failureReported_ = true;
    return UnableToWriteText(path_);
}

bool HistoryStore::RetryPending()
{
    const int before = PendingCount();
    const bool written = WritePending() == AppendOutcome::Written;
    TellPendingChange(before);
    return written;
}

void HistoryStore::TellPendingChange(int before)
{
    if (PendingCount() != before)
        emit PendingChanged(PendingCount());
}

// The Progress window and the weak draw see every accepted time, written
// or waiting: the file gets it later.
void HistoryStore::KeepInMemory(const Attempt& attempt)
{
    if (loaded_)
        content_.attempts.push_back(attempt);
    else if (job_)
        recordedMeanwhile_.push_back(attempt);
}

// Every waiting line in one append, so that their order holds and none is
// written twice; the timer runs while any wait.
AppendOutcome HistoryStore::WritePending()
{
    AppendOutcome outcome = AppendOutcome::Written;
    if (!pending_.empty()) {
        QByteArray lines;
        for (const PendingLine& pending : pending_)
            lines += pending.line;
        outcome = AppendLines(path_, lines);
        if (outcome == AppendOutcome::Written)
            pending_.clear();
    }
    if (pending_.empty())
        retryTimer_->stop();
    else if (!retryTimer_->isActive())
        retryTimer_->start();
    return outcome;
}

void HistoryStore::StartLoading()
{
    if (loaded_ || job_)
        return;
    auto job = std::make_shared<Job>();
    job->path = path_;
    // The length is taken here, on the thread that appends, so that a time
    // recorded from now on is counted once: in recordedMeanwhile_.
    struct stat status {};
    if (::stat(QFile::encodeName(path_).constData(), &status) == 0)
        job->length = S_ISREG(status.st_mode) ? status.st_size : 0;
    job_ = job;
    // Times still waiting for the file are not in what will be read.
    recordedMeanwhile_.clear();
    for (const PendingLine& pending : pending_)
        recordedMeanwhile_.push_back(pending.attempt);
    job->thread = std::thread([this, job] {
        job->Run();
        QMetaObject::invokeMethod(this, [this, job] { Finish(job); }, Qt::QueuedConnection);
    });
}

void HistoryStore::AbandonLoading()
{
    if (!job_)
        return;
    job_->abandoned = true;
    job_->thread.join();   // at most one piece of the file: a few milliseconds
    job_.reset();
    recordedMeanwhile_.clear();
}

void HistoryStore::EnsureLoaded()
{
    StartLoading();
    if (job_) {
        job_->thread.join();
        Finish(job_);
    }
}

double HistoryStore::LoadedShare() const
{
    if (loaded_)
        return 1;
    if (!job_ || job_->length == 0)
        return 0;
    return static_cast<double>(job_->bytesRead.load(std::memory_order_relaxed)) / static_cast<double>(job_->length);
}

void HistoryStore::Finish(const std::shared_ptr<Job>& job)
{
    if (job != job_)
        return;   // abandoned, or already taken by EnsureLoaded
    if (job->thread.joinable())
        job->thread.join();   // the thread has posted this as its last act
    content_ = std::move(job->content);
    unreadable_ = job->unreadable;
    content_.attempts.insert(content_.attempts.end(), recordedMeanwhile_.begin(), recordedMeanwhile_.end());
    recordedMeanwhile_.clear();
    recordedMeanwhile_.shrink_to_fit();
    job_.reset();
    loaded_ = true;
    emit Loaded();
}
