#include "history/historystore.h"

#include "history/historyreader.h"
#include "core/errors.h"
#include "platform/descriptorio.h"

#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr size_t kPieceBytes = 1 << 20;
constexpr auto kRetryInterval = std::chrono::seconds(3);
constexpr qint64 kShortestLine = 44;   // "2026-12-09T11:32:05Z,OLL,1,Easy,top,1.470,0\n"

class OpenedFile {
public:
    explicit OpenedFile(int fd) : fd_(fd) {}
    ~OpenedFile() { ::close(fd_); }
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// The piece the file is read into, mapped apart from the heap: given back
// whole when the reading ends, where a freed heap block would stay with the
// reading thread's arena for the rest of the run.
class PieceBuffer {
public:
    PieceBuffer() : data_(::mmap(nullptr, kPieceBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))
    {
        if (data_ == MAP_FAILED)
            throw std::bad_alloc();
    }
    ~PieceBuffer() { ::munmap(data_, kPieceBytes); }
    PieceBuffer(const PieceBuffer&) = delete;
    PieceBuffer& operator=(const PieceBuffer&) = delete;
    char* data() const { return static_cast<char*>(data_); }
    static constexpr size_t size() { return kPieceBytes; }

private:
    void* data_;
};

} // namespace

namespace {

template <typename Record> size_t RecordsAlreadyRead(const std::vector<Record>& read, const std::vector<Record>& recorded)
{
    for (size_t count = std::min(read.size(), recorded.size()); count > 0; --count)
        if (std::equal(recorded.begin(), recorded.begin() + static_cast<std::ptrdiff_t>(count),
                       read.end() - static_cast<std::ptrdiff_t>(count)))
            return count;
    return 0;
}

// A drill answer as the file gives it back: a miss without its time, the
// answer single-spaced; so a reading that meets it knows it.
DrillRecord AsRead(DrillRecord record)
{
    if (record.detail.result != AttemptResult::Ok)
        record.attempt.milliseconds = 0;
    record.detail.answer = record.detail.answer.simplified();
    return record;
}

} // namespace

size_t TimesAlreadyRead(const std::vector<Attempt>& read, const std::vector<Attempt>& recorded)
{
    return RecordsAlreadyRead(read, recorded);
}

// One reading of the file. The thread only writes here; the window thread
// takes the result after the thread has ended.
struct HistoryStore::Job {
    QString path;
    std::atomic<qint64> length{0};      // the size of the file it opened, when it opened it
    std::atomic<bool> abandoned{false};
    std::atomic<qint64> bytesRead{0};
    bool unreadable = false;
    HistoryContent content;
    std::thread thread;

    // Nothing leaves the thread: a file that cannot be read, for want of
    // memory too, is reported as unreadable.
    void ReadOrMarkUnreadable() noexcept
    {
        try {
            Read();
        } catch (...) {
            unreadable = true;
            content = HistoryContent();
        }
    }

private:
    void Read();
};

// Reads to the end of the file it opened: what is appended while it reads
// is met there too, and the store adds it only once. Only a regular file is
// read, opened without waiting (a pipe would never end).
void HistoryStore::Job::Read()
{
    HistoryOpening opening = HistoryOpening::Missing;
    const int fd = OpenHistoryForReading(path, opening);
    if (fd < 0) {
        unreadable = opening == HistoryOpening::Refused;
        return;
    }
    const OpenedFile file(fd);
    struct stat status {};
    if (::fstat(file.get(), &status) == 0)
        length = status.st_size;
    HistoryReader reader;
    // A hint only, and bounded: a sparse file of a hundred gigabytes claims
    // billions of lines it does not hold.
    reader.Reserve(static_cast<size_t>(length / kShortestLine + 16));
    const PieceBuffer piece;
    while (!abandoned.load(std::memory_order_relaxed)) {
        const ssize_t got = ReadSome(file.get(), piece.data(), piece.size());
        if (got < 0) {
            unreadable = true;
            break;
        }
        if (got == 0)
            break;
        reader.Feed(piece.data(), static_cast<size_t>(got));
        bytesRead.fetch_add(got, std::memory_order_relaxed);
        if (reader.GaveUp()) {   // megabytes without a line end: no History.csv
            unreadable = true;
            break;
        }
    }
    content = reader.Finish();
    // Room reserved for lines that never came is given back, when it is much.
    if (content.attempts.capacity() / 4 > content.attempts.size())
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

HistoryStore::~HistoryStore()
{
    AbandonLoading();
    // Abandoned before it writes: at most the reading of the file is waited for.
    upgradeAbandoned_->store(true);
    if (upgrade_.valid())
        upgrade_.wait();
}

ReplaceOutcome HistoryStore::WaitForHeaderUpgrade()
{
    return upgrade_.valid() ? upgrade_.get() : ReplaceOutcome::Unchanged;
}

// The append has already happened: whatever the upgrade meets is kept to
// itself. Rewriting a large file takes long, so the window never waits for it.
void HistoryStore::StartHeaderUpgrade()
{
    if (upgradeStarted_)
        return;
    upgradeStarted_ = true;
    try {
        upgrade_ = std::async(std::launch::async, [path = path_, abandoned = upgradeAbandoned_]() noexcept {
            try {
                return UpgradeHistoryHeader(path, abandoned.get());
            } catch (...) {
                return ReplaceOutcome::Refused;
            }
        });
    } catch (...) {
        // No thread to be had: the next run tries again.
    }
}

QString HistoryStore::Record(const Attempt& attempt, const QString& scramble, const AttemptDetail& detail)
{
    KeepInMemory(attempt, detail);
    const int before = PendingCount();
    pending_.push_back({attempt, detail, HistoryLine(attempt, scramble, detail)});
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
// The drill's answers are no solves: they stay out of the times, as the
// reader keeps them out; a split goes to the side table.
void HistoryStore::KeepInMemory(const Attempt& attempt, const AttemptDetail& detail)
{
    if (!loaded_ && !job_)
        return;
    // While a new reading runs (after an import), what is recorded waits for
    // it, even though the old reading stays in view.
    const bool intoContent = loaded_ && !job_;
    std::vector<Attempt>& attempts = intoContent ? content_.attempts : recordedMeanwhile_;
    if (attempt.mode == AttemptMode::Name)
        (intoContent ? content_.drill : drillMeanwhile_).push_back(AsRead({attempt, detail}));
    else if (attempt.mode == AttemptMode::Split)
        (intoContent ? content_.splits : splitsMeanwhile_).push_back({attempts.size(), detail.splitMilliseconds});
    if (attempt.mode != AttemptMode::Name)
        attempts.push_back(attempt);
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
        if (outcome == AppendOutcome::Written) {
            pending_.clear();
            StartHeaderUpgrade();
        }
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
    job_ = job;
    // Times still waiting for the file are not in what will be read.
    recordedMeanwhile_.clear();
    splitsMeanwhile_.clear();
    drillMeanwhile_.clear();
    for (const PendingLine& pending : pending_)
        KeepInMemory(pending.attempt, pending.detail);
    job->thread = std::thread([this, job] {
        job->ReadOrMarkUnreadable();
        try {
            QMetaObject::invokeMethod(this, [this, job] { Finish(job); }, Qt::QueuedConnection);
        } catch (...) {
            // Out of memory for the message itself: the reading stays unfinished.
        }
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
    splitsMeanwhile_.clear();
    drillMeanwhile_.clear();
}

void HistoryStore::Reload()
{
    if (!loaded_ && !job_)
        return;   // read when first needed, and then whole
    AbandonLoading();
    const bool wasLoaded = loaded_;
    loaded_ = false;
    StartLoading();
    loaded_ = wasLoaded;
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
    const qint64 length = job_ ? job_->length.load(std::memory_order_relaxed) : 0;
    if (length <= 0)
        return 0;
    // The file may grow while it is read.
    return std::min(1.0, static_cast<double>(job_->bytesRead.load(std::memory_order_relaxed)) / static_cast<double>(length));
}

void HistoryStore::Finish(const std::shared_ptr<Job>& job)
{
    if (job != job_)
        return;   // abandoned, or already taken by EnsureLoaded
    if (job->thread.joinable())
        job->thread.join();   // the thread has posted this as its last act
    content_ = std::move(job->content);
    unreadable_ = job->unreadable;
    AddRecordedMeanwhile(TimesAlreadyRead(content_.attempts, recordedMeanwhile_));
    job_.reset();
    loaded_ = true;
    emit Loaded();
}

// What was recorded while the file was read goes after what was read, but
// only what the reading did not meet at the file's end; a split follows its
// attempt to its place there.
void HistoryStore::AddRecordedMeanwhile(size_t timesAlreadyRead)
{
    const size_t firstPlace = content_.attempts.size() - timesAlreadyRead;
    content_.attempts.insert(content_.attempts.end(),
                             recordedMeanwhile_.begin() + static_cast<std::ptrdiff_t>(timesAlreadyRead),
                             recordedMeanwhile_.end());
    for (const AttemptSplit& split : splitsMeanwhile_)
        if (split.attempt >= timesAlreadyRead)
            content_.splits.push_back({firstPlace + split.attempt, split.splitMilliseconds});
    const auto drillRead = static_cast<std::ptrdiff_t>(RecordsAlreadyRead(content_.drill, drillMeanwhile_));
    content_.drill.insert(content_.drill.end(), drillMeanwhile_.begin() + drillRead, drillMeanwhile_.end());
    recordedMeanwhile_ = {};
    splitsMeanwhile_ = {};
    drillMeanwhile_ = {};
}
