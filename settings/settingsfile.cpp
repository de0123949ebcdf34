#include "settings/settingsfile.h"

#include "trainer/errors.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
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
    QByteArray text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || text.size() + got > kLargestReadableFile) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        text.append(buffer, got);
    }
    ::close(fd);
    return text;
}

bool WriteAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t done = ::pwrite(fd, data, static_cast<size_t>(left), data - bytes.constData());
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        left -= done;
    }
    return true;
}

mode_t Permissions(const struct stat& info) { return info.st_mode & 07777; }

// The new text keeps the owner and group of the file it replaces, so that a
// run under another account (root) does not take the file from its user.
// Where the system does not permit the owner, the group alone is still tried;
// neither refusal stops the write.
void KeepOwner(int fd, const struct stat& info, const struct stat& replaced)
{
    if (info.st_uid == replaced.st_uid && info.st_gid == replaced.st_gid)
        return;
    if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0 && info.st_gid != replaced.st_gid)
        (void)::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid);
}

// Changing the owner clears the set-id bits, so the mode is given after it.
bool KeepOwnerAndMode(int fd, const struct stat& info, const struct stat* replaced)
{
    if (!replaced)
        return true;
    KeepOwner(fd, info, *replaced);
    return Permissions(info) == Permissions(*replaced) || ::fchmod(fd, Permissions(*replaced)) == 0;
}

// The temporary file is reused from one write to the next (its old text
// overwritten, then cut to length): creating and deleting a file per write
// costs ext4 far more than rewriting one. The new text keeps the owner, group
// and permissions of the file it replaces.
std::optional<SettingsFile::DiskStamp> WriteTemporary(const QByteArray& temporary, const QByteArray& text,
                                                      const struct stat* replaced)
{
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    bool written = ::fstat(fd, &info) == 0 && WriteAll(fd, text)
        && (info.st_size <= text.size() || ::ftruncate(fd, text.size()) == 0)
        && KeepOwnerAndMode(fd, info, replaced) && ::fstat(fd, &info) == 0;
    written = ::close(fd) == 0 && written;
    return written ? std::optional(StampOf(info)) : std::nullopt;
}

// Swapping the two names instead of renaming over the old file spares ext4's
// forced write-back on replace, which costs a few hundred microseconds a
// write; Close() flushes once instead. The old text stays under the temporary
// name until the next write overwrites it or Close() removes it.
bool SwapInto(const QByteArray& temporary, const QByteArray& target)
{
    if (::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, target.constData(), RENAME_EXCHANGE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOENT)
        return false;
    return ::rename(temporary.constData(), target.constData()) == 0;   // no exchange on this file system
}

// Writes the whole text beside the target and puts it in the target's place in
// one step, so that the file holds either its old or its new text, never a
// mixture. Only a writable regular file (or none) is ever replaced. Gives the
// stamp of the new file.
std::optional<SettingsFile::DiskStamp> ReplaceAtomically(const QByteArray& target, const QByteArray& text,
                                                         const std::optional<struct stat>& replaced)
{
    if (replaced && (!S_ISREG(replaced->st_mode) || ::access(target.constData(), W_OK) != 0))
        return std::nullopt;
    const QByteArray temporary = target + ".tmp";
    const std::optional<SettingsFile::DiskStamp> stamp = WriteTemporary(temporary, text, replaced ? &*replaced : nullptr);
    if (stamp && (replaced ? SwapInto(temporary, target) : ::rename(temporary.constData(), target.constData()) == 0))
        return stamp;
    ::unlink(temporary.constData());
    return std::nullopt;
}

void SyncPath(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// A Settings.ini that is a symbolic link stays one: the file it points to is
// the one replaced.
QByteArray ResolvedTarget(const QString& absolutePath)
{
    const QFileInfo info(absolutePath);
    if (!info.isSymLink())
        return QFile::encodeName(absolutePath);
    const QString canonical = info.canonicalFilePath();
    return QFile::encodeName(canonical.isEmpty() ? info.symLinkTarget() : canonical);
}

// A temporary left by a run that was killed, or a link planted in its place,
// is removed (a link itself, never what it points to); writes never follow one.
void RemoveStaleTemporary(const QByteArray& target)
{
    const QByteArray temporary = target + ".tmp";
    struct stat info {};
    if (::lstat(temporary.constData(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)))
        ::unlink(temporary.constData());
}

// ---------------------------------------------------------------- UTF-8

int SequenceLength(const unsigned char* p, qsizetype left)
{
    const unsigned char b = p[0];
    auto cont = [&](int i, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return i < left && p[i] >= low && p[i] <= high;
    };
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return cont(1) ? 2 : 0;
    if (b == 0xE0)
        return cont(1, 0xA0) && cont(2) ? 3 : 0;
    if (b == 0xED)
        return cont(1, 0x80, 0x9F) && cont(2) ? 3 : 0;
    if (b >= 0xE1 && b <= 0xEF)
        return cont(1) && cont(2) ? 3 : 0;
    if (b == 0xF0)
        return cont(1, 0x90) && cont(2) && cont(3) ? 4 : 0;
    if (b >= 0xF1 && b <= 0xF3)
        return cont(1) && cont(2) && cont(3) ? 4 : 0;
    if (b == 0xF4)
        return cont(1, 0x80, 0x8F) && cont(2) && cont(3) ? 4 : 0;
    return 0;
}

char32_t CodePoint(const unsigned char* p, int length)
{
    static constexpr unsigned char leadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = p[0] & leadMask[length];
    for (int i = 1; i < length; ++i)
        code = (code << 6) | (p[i] & 0x3F);
    return code;
}

void AppendUtf8(QByteArray& out, char32_t code)
{
    if (code < 0x80) {
        out.append(static_cast<char>(code));
    } else if (code < 0x800) {
        out.append(static_cast<char>(0xC0 | (code >> 6)));
        out.append(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(static_cast<char>(0xE0 | (code >> 12)));
        out.append(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.append(static_cast<char>(0xF0 | (code >> 18)));
        out.append(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.append(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

bool IsEscapedByte(char16_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

} // namespace

// ---------------------------------------------------------------- text codec

QString DecodeProfileBytes(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const int length = SequenceLength(p + i, size - i);
        if (length == 0) {
            text.append(QChar(static_cast<char16_t>(0xDC00 + p[i])));
            ++i;
            continue;
        }
        const char32_t code = CodePoint(p + i, length);
        if (code >= 0x10000) {
            text.append(QChar(QChar::highSurrogate(code)));
            text.append(QChar(QChar::lowSurrogate(code)));
        } else {
            text.append(QChar(static_cast<char16_t>(code)));
        }
        i += length;
    }
    return text;
}

QByteArray EncodeProfileText(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            AppendUtf8(bytes, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (IsEscapedByte(unit)) {
            bytes.append(static_cast<char>(unit - 0xDC00));
        } else if (QChar::isSurrogate(unit)) {
            bytes.append('?');
        } else {
            AppendUtf8(bytes, unit);
        }
    }
    return bytes;
}

// ---------------------------------------------------------------- integers

namespace {

int DigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return 99;
}

// Digits in the given base up to the end of the text; false on anything else
// or when the magnitude exceeds limit.
bool ReadMagnitude(const QString& text, qsizetype from, int base, quint64 limit, quint64& magnitude)
{
    if (from >= text.size())
        return false;
    magnitude = 0;
    for (qsizetype i = from; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    return true;
}

// Length of a hexadecimal prefix ("$", "x", "X", "0x", "0X") at from; 0 if none.
int HexPrefixLength(const QString& text, qsizetype from)
{
    const QStringView rest = QStringView(text).mid(from);
    if (rest.startsWith(u'$') || rest.startsWith(u'x') || rest.startsWith(u'X'))
        return 1;
    if (rest.startsWith(u"0x") || rest.startsWith(u"0X"))
        return 2;
    return 0;
}

} // namespace

bool ParseProfileInteger(const QString& text, int& value)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const int prefix = HexPrefixLength(text, i);
    quint64 magnitude = 0;
    if (prefix > 0) {
        // Hexadecimal covers all 32 bits: $FFFFFFFF is -1.
        if (!ReadMagnitude(text, i + prefix, 16, 0xFFFFFFFFULL, magnitude))
            return false;
        const auto bits = static_cast<qint32>(static_cast<quint32>(magnitude));
        value = negative ? static_cast<int>(0U - static_cast<quint32>(bits)) : bits;
        return true;
    }
    const quint64 limit = negative ? 2147483648ULL : 2147483647ULL;
    if (!ReadMagnitude(text, i, 10, limit, magnitude))
        return false;
    value = negative ? static_cast<int>(-static_cast<qint64>(magnitude)) : static_cast<int>(magnitude);
    return true;
}

// ---------------------------------------------------------------- SettingsFile

SettingsFile::SettingsFile(const QString& path)
    : path_(QFileInfo(path).absoluteFilePath()), target_(ResolvedTarget(path_))
{
    RemoveStaleTemporary(target_);
}

SettingsFile::~SettingsFile() { Close(); }

QString SettingsFile::TemporaryPath(const QString& path) { return path + QStringLiteral(".tmp"); }

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
}

// The text is kept between calls; it is read again only when the file on the
// disk has changed since (another writer, or the file removed).
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

std::vector<SettingsFile::Line> SettingsFile::WithEntry(const QByteArray& section, const QByteArray& key,
                                                         const QByteArray& value) const
{
    std::vector<Line> lines = lines_;
    const auto entry = index_.entries.constFind(EntryKey(Fold(section), Fold(key)));
    if (entry != index_.entries.constEnd())
        ReplaceValue(lines[*entry], value);
    else
        InsertEntry(lines, section, key + '=' + value);
    return lines;
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
void SettingsFile::InsertEntry(std::vector<Line>& lines, const QByteArray& section, const QByteArray& entry) const
{
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

void SettingsFile::Store(std::vector<Line> lines, const std::optional<struct stat>& onDisk)
{
    const std::optional<DiskStamp> stamp = unreadable_ ? std::nullopt : ReplaceAtomically(target_, JoinLines(lines), onDisk);
    if (!stamp)
        RefuseWrite();
    const bool sameLines = lines.size() == lines_.size();   // a value replaced in place
    lines_ = std::move(lines);
    if (!sameLines)
        index_ = BuildIndex(lines_);
    stamp_ = *stamp;
    dirty_ = true;
}

void SettingsFile::RefuseWrite() const
{
    throw TesseloError(UnableToWriteText(path_));
}

void SettingsFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const std::optional<struct stat> onDisk = StatOf(target_);
    EnsureCurrent(onDisk);
    Store(WithEntry(SingleLine(section), SingleLine(key), StoredValue(value)), onDisk);
}

void SettingsFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void SettingsFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void SettingsFile::Close()
{
    if (!dirty_)
        return;
    dirty_ = false;
    SyncPath(target_);
    ::unlink((target_ + ".tmp").constData());
    const qsizetype slash = target_.lastIndexOf('/');
    SyncPath(slash <= 0 ? QByteArray("/") : target_.left(slash));
}
