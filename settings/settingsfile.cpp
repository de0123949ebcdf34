#include "settings/settingsfile.h"

#include "core/errors.h"
#include "platform/atomicfile.h"
#include "platform/descriptorio.h"
#include "platform/filelock.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The private-profile functions hand back at most this many characters.
constexpr int kLongestValue = 2047;

// A file larger than this is not a settings file; it is left alone.
constexpr qint64 kLargestReadableFile = 64LL * 1024 * 1024;

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

// ---------------------------------------------------------------- bytes

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray TrimBlanks(const QByteArray& bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && IsBlank(bytes[begin]))
        ++begin;
    while (end > begin && IsBlank(bytes[end - 1]))
        --end;
    return bytes.mid(begin, end - begin);
}

// Names match without regard to letter case (the program's names are ASCII).
QByteArray Fold(const QByteArray& name)
{
    QByteArray folded = name;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

QByteArray EntryKey(const QByteArray& foldedSection, const QByteArray& foldedKey)
{
    return foldedSection + '\0' + foldedKey;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool HasMatchingQuotes(const QByteArray& value)
{
    return value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back();
}

// ---------------------------------------------------------------- lines

std::vector<SettingsFile::Line> SplitLines(const QByteArray& text)
{
    std::vector<SettingsFile::Line> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype newline = text.indexOf('\n', start);
        if (newline < 0) {
            lines.push_back({text.mid(start), QByteArray()});
            break;
        }
        const bool crlf = newline > start && text[newline - 1] == '\r';
        const qsizetype end = crlf ? newline - 1 : newline;
        lines.push_back({text.mid(start, end - start), crlf ? kCrLf : QByteArrayLiteral("\n")});
        start = newline + 1;
    }
    return lines;
}

QByteArray JoinLines(const std::vector<SettingsFile::Line>& lines)
{
    qsizetype size = 0;
    for (const auto& line : lines)
        size += line.text.size() + line.end.size();
    QByteArray text;
    text.reserve(size);
    for (const auto& line : lines)
        text.append(line.text).append(line.end);
    return text;
}

std::optional<QByteArray> SectionName(const QByteArray& trimmedLine)
{
    if (!trimmedLine.startsWith('['))
        return std::nullopt;
    const qsizetype close = trimmedLine.indexOf(']');
    return TrimBlanks(trimmedLine.mid(1, close < 0 ? -1 : close - 1));
}

// The key of an entry line; empty for comments and lines without "=".
QByteArray EntryName(const QByteArray& trimmedLine)
{
    if (trimmedLine.startsWith(';') || trimmedLine.startsWith('#'))
        return QByteArray();
    const qsizetype equals = trimmedLine.indexOf('=');
    return equals < 0 ? QByteArray() : TrimBlanks(trimmedLine.left(equals));
}

SettingsFile::Index BuildIndex(const std::vector<SettingsFile::Line>& lines)
{
    SettingsFile::Index index;
    int current = -1;
    QByteArray currentName;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const QByteArray trimmed = TrimBlanks(lines[i].text);
        if (trimmed.isEmpty())
            continue;
        if (const auto name = SectionName(trimmed)) {
            currentName = Fold(*name);
            // A section written twice is known by its first occurrence alone:
            // the lines under a later one are neither read nor written to.
            current = -1;
            if (!index.sections.contains(currentName)) {
                current = static_cast<int>(index.sectionList.size());
                index.sectionList.push_back({i, i});
                index.sections.insert(currentName, current);
            }
            continue;
        }
        if (current < 0)
            continue;   // entries before any section, or under a repeated one, belong to none
        index.sectionList[current].lastLine = i;
        const QByteArray key = EntryName(trimmed);
        if (!key.isEmpty()) {
            const QByteArray entry = EntryKey(currentName, Fold(key));
            if (!index.entries.contains(entry))
                index.entries.insert(entry, i);
        }
    }
    return index;
}

QByteArray RawValue(const QByteArray& line)
{
    QByteArray value = TrimBlanks(line.mid(line.indexOf('=') + 1));
    if (HasMatchingQuotes(value))
        value = value.mid(1, value.size() - 2);
    const qsizetype nul = value.indexOf('\0');
    return nul < 0 ? value : value.left(nul);
}

// Line ends and NUL would cut an entry in two; they become blanks.
QByteArray SingleLine(const QString& text)
{
    QByteArray bytes = EncodeProfileText(text);
    for (char& c : bytes)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    return bytes;
}

// A value that reading would change (blanks around it, a matching pair of
// quotes) is wrapped in one more pair of quotes so that it reads back as written.
QByteArray StoredValue(const QString& value)
{
    const QByteArray bytes = SingleLine(value);
    const bool wrap = HasMatchingQuotes(bytes) || (!bytes.isEmpty() && (IsBlank(bytes.front()) || IsBlank(bytes.back())));
    return wrap ? '"' + bytes + '"' : bytes;
}

QString LimitLength(const QString& text)
{
    if (text.size() <= kLongestValue)
        return text;
    const bool splitsPair = text[kLongestValue - 1].isHighSurrogate();
    return text.left(splitsPair ? kLongestValue - 1 : kLongestValue);
}

// ---------------------------------------------------------------- disk

std::optional<struct stat> StatOf(const QByteArray& path)
{
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        return std::nullopt;
    return info;
}

// Size, modification time and inode tell whether the file changed since it
// was last read or written (the change time is left out: swapping names
// changes it).
SettingsFile::DiskStamp StampOf(const struct stat& info)
{
    return {static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            static_cast<quint64>(info.st_ino)};
}

SettingsFile::DiskStamp StampOf(const std::optional<struct stat>& info)
{
    return info ? StampOf(*info) : SettingsFile::DiskStamp{};
}

std::optional<QByteArray> ReadWholeFile(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> text = ReadAll(fd, kLargestReadableFile);
    ::close(fd);
    return text;
}

// Copies of the program sharing the file take turns at replacing it. The
// lock is on the folder: the file's own inode changes with every
// replacement, a lock file of its own would be one more file left beside the
// user's, and the folder is where the rename happens. A copy stopped while
// holding it (Ctrl+Z) must not freeze this one, signals included: the lock is
// tried for a bounded time, then the write is refused as any other. Where the
// folder cannot be opened or locked at all, the replacement goes on unlocked.
class FolderLock {
public:
    static constexpr qint64 kLongestWaitNs = 2'000'000'000;

    FolderLock(const QByteArray& target, qint64 longestWaitNs)
    {
        const qsizetype slash = target.lastIndexOf('/');
        const QByteArray folder = slash <= 0 ? QByteArray("/") : target.left(slash);
        fd_ = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ >= 0)
            refused_ = !Take(longestWaitNs);
    }
    ~FolderLock()
    {
        if (fd_ >= 0)
            ::close(fd_);   // releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool Refused() const { return refused_; }

private:
    static constexpr std::chrono::milliseconds kRetry{5};

    bool Take(qint64 longestWaitNs) const
    {
        const auto patience = std::chrono::milliseconds(longestWaitNs / 1'000'000);
        // Refused: no locks on this file system, the replacement goes on.
        return LockExclusive(fd_, BoundedLockWait(patience, kRetry)) != Locking::Taken;
    }

    int fd_ = -1;
    bool refused_ = false;
};

// A Settings.ini that is a symbolic link stays one: the file it points to is
// the one replaced, and a link to a missing file gets that file created
// through it. A chain of links is followed to its end (a loop to its 40th
// link, where the system gives up too).
QByteArray ResolvedTarget(const QString& absolutePath)
{
    QFileInfo info(absolutePath);
    if (!info.isSymLink())
        return QFile::encodeName(absolutePath);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return QFile::encodeName(canonical);
    for (int link = 0; link < 40 && info.isSymLink(); ++link)
        info.setFile(info.symLinkTarget());
    return QFile::encodeName(info.absoluteFilePath());
}

} // namespace

QString SettingsBusyError::TextFor(const QString& path, bool russian)
{
    return russian ? QStringLiteral("Файл настроек %1 занят другой программой. Изменения не сохранены; "
                                    "попробуйте ещё раз чуть позже.").arg(path)
                   : QStringLiteral("The settings file %1 is in use by another program. The change was not "
                                    "saved; try again in a moment.").arg(path);
}

// ---------------------------------------------------------------- SettingsFile

SettingsFile::SettingsFile(const QString& path, Commit commit)
    : path_(QFileInfo(path).absoluteFilePath()), target_(ResolvedTarget(path_)), commit_(commit)
{
}

// Temporaries of a run that was killed: removed only while no other copy is
// replacing the file, since one of them may be that copy's own.
void SettingsFile::RemoveStaleTemporaries() const
{
    const FolderLock lock(target_, 0);
    if (!lock.Refused())
        ::RemoveStaleTemporaries(QFile::decodeName(target_));
}

bool SettingsFile::IsLinkToMissingFolder() const
{
    const QFileInfo link(path_);
    return link.isSymLink() && !QFileInfo(QFile::decodeName(target_)).absoluteDir().exists();
}

QString SettingsFile::LinkTarget() const { return QFile::decodeName(target_); }

bool SettingsFile::Exists() const { return QFileInfo::exists(path_); }

void SettingsFile::Load(const std::optional<struct stat>& onDisk) const
{
    loaded_ = true;
    lines_.clear();
    stamp_ = StampOf(onDisk);
    unreadable_ = false;
    if (onDisk) {
        const std::optional<QByteArray> text = S_ISREG(onDisk->st_mode) ? ReadWholeFile(target_) : std::nullopt;
        unreadable_ = !text;
        if (text)
            lines_ = SplitLines(*text);
    }
    index_ = BuildIndex(lines_);
    for (const Entry& entry : pending_)
        Apply(entry);
}

// The text is kept between calls; it is read again only when the file on the
// disk has changed since (another writer, or the file removed), and the
// writes not yet in the file are applied to it again.
void SettingsFile::EnsureCurrent(const std::optional<struct stat>& onDisk) const
{
    if (!loaded_ || StampOf(onDisk) != stamp_)
        Load(onDisk);
}

const SettingsFile::Line* SettingsFile::FindEntry(const QByteArray& section, const QByteArray& key) const
{
    const auto found = index_.entries.constFind(EntryKey(Fold(section), Fold(key)));
    return found == index_.entries.constEnd() ? nullptr : &lines_[*found];
}

QString SettingsFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    EnsureCurrent(StatOf(target_));
    const Line* line = FindEntry(SingleLine(section), SingleLine(key));
    if (!line)
        return defaultValue;
    // Decoding more than four bytes a character could not add characters.
    const QByteArray raw = RawValue(line->text);
    return LimitLength(DecodeProfileBytes(raw.left(4 * kLongestValue)));
}

int SettingsFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    QString text = ReadString(section, key, QString());
    if (text.size() > 2 && (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"))))
        text = QLatin1Char('$') + text.mid(2);
    int value = 0;
    return ParseProfileInteger(text, value) ? value : defaultValue;
}

bool SettingsFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void SettingsFile::Apply(const Entry& entry) const
{
    const auto found = index_.entries.constFind(EntryKey(Fold(entry.section), Fold(entry.key)));
    if (found != index_.entries.constEnd()) {
        ReplaceValue(lines_[*found], entry.value);
        return;
    }
    InsertEntry(entry.section, entry.key + '=' + entry.value);
    index_ = BuildIndex(lines_);
}

// The entry keeps its place and the spelling its key was first written with.
void SettingsFile::ReplaceValue(Line& line, const QByteArray& value)
{
    line.text = TrimBlanks(line.text.left(line.text.indexOf('='))) + '=' + value;
    if (line.end.isEmpty())
        line.end = kCrLf;
}

// A new entry goes after the last entry of its section (before the blank
// lines that close it); a new section goes to the end of the file.
void SettingsFile::InsertEntry(const QByteArray& section, const QByteArray& entry) const
{
    std::vector<Line>& lines = lines_;
    const auto existing = index_.sections.constFind(Fold(section));
    const bool newSection = existing == index_.sections.constEnd();
    const int insertAt = newSection ? static_cast<int>(lines.size()) : index_.sectionList[*existing].lastLine + 1;
    if (insertAt > 0 && lines[insertAt - 1].end.isEmpty())
        lines[insertAt - 1].end = kCrLf;
    std::vector<Line> added;
    if (newSection)
        added.push_back({'[' + section + ']', kCrLf});
    added.push_back({entry, kCrLf});
    lines.insert(lines.begin() + insertAt, added.begin(), added.end());
}

// Under the lock, the writes go onto the text the file holds at that moment
// (another copy's keys kept), and the file is replaced once.
void SettingsFile::ReplaceFile()
{
    // One bounded wait per piece of work: once another program has kept the
    // lock that long, a retry of the same work tries once more without waiting.
    const FolderLock lock(target_, lockTimedOut_ ? 0 : FolderLock::kLongestWaitNs);
    if (lock.Refused()) {
        lockTimedOut_ = true;
        throw SettingsBusyError(path_);
    }
    const std::optional<struct stat> onDisk = StatOf(target_);
    EnsureCurrent(onDisk);
    if (unreadable_ || (onDisk && (!S_ISREG(onDisk->st_mode) || ::access(target_.constData(), W_OK) != 0)))
        RefuseWrite();
    const QString target = QFile::decodeName(target_);
    FileReplacement how;
    how.newFileMode = 0666;
    if (!ReplaceFileAtomically(target, JoinLines(lines_), how))
        RefuseWrite();
    pending_.clear();
    stamp_ = StampOf(StatOf(target_));
}

void SettingsFile::RefuseWrite() const
{
    throw TesseloError(UnableToWriteText(path_));
}

void SettingsFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    EnsureCurrent(StatOf(target_));
    Entry entry{SingleLine(section), SingleLine(key), StoredValue(value)};
    Apply(entry);
    pending_.push_back(std::move(entry));
    if (commit_ == Commit::AtClose)
        return;
    try {
        ReplaceFile();
    } catch (const TesseloError&) {
        pending_.clear();
        loaded_ = false;   // read back as the file holds it
        throw;
    }
}

void SettingsFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void SettingsFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void SettingsFile::CheckWritable() const
{
    const std::optional<struct stat> onDisk = StatOf(target_);
    EnsureCurrent(onDisk);
    const qsizetype slash = target_.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray("/") : target_.left(slash);
    if (unreadable_ || (onDisk && (!S_ISREG(onDisk->st_mode) || ::access(target_.constData(), W_OK) != 0))
        || ::access(folder.constData(), W_OK | X_OK) != 0)
        RefuseWrite();
}

void SettingsFile::Close()
{
    if (!pending_.empty())
        ReplaceFile();
}
