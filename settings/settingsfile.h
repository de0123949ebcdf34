#pragma once
// Settings.ini: sections of "key=value" lines with CR LF line ends, read and
// written with private-profile semantics (case-insensitive names, first
// duplicate wins, a section written twice known by its first occurrence alone,
// values trimmed and unquoted, at most 2047 characters read, in-place
// replacement keeping the entry's position and first spelling).
// The file is replaced whole and atomically: the new text goes to a fresh
// temporary file beside the old one (given the old file's owner, group and
// mode), reaches the disk and is renamed over it, so that every reader, a hard
// link and a file after a power cut hold the old text or the new one. Copies
// of the program sharing the file take turns with a lock on its folder, and
// each replacement applies its writes to the text the file holds by then, so
// that neither loses the other's keys.

#include "core/errors.h"
#include "core/integertext.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

struct stat;

// A write refused because another program kept the settings file's lock
// (another copy sharing the file, a backup tool) beyond the bounded wait.
// what() is the English text; Text() gives it in the interface language.
class SettingsBusyError : public TesseloError {
public:
    explicit SettingsBusyError(const QString& path) : TesseloError(TextFor(path, false)), path_(path) {}
    QString Text(bool russian) const { return TextFor(path_, russian); }
    static QString TextFor(const QString& path, bool russian);

private:
    QString path_;
};

class SettingsFile {
public:
    // EachWrite: every write replaces the file before it returns.
    // AtClose: the writes of one piece of work (a set switch, a shut-down)
    // are read back at once but replace the file once, in Close(); the file
    // then holds exactly what writing them one by one would have left.
    enum class Commit { EachWrite, AtClose };

    explicit SettingsFile(const QString& path, Commit commit = Commit::EachWrite);
    // Writes not yet closed are dropped: the file keeps what it held.
    ~SettingsFile() = default;
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    const QString& Path() const { return path_; }
    // True when anything (even a folder) stands at the path.
    bool Exists() const;
    // A symbolic link whose file's folder does not exist: nothing can be
    // written through it. LinkTarget() is that file's path.
    bool IsLinkToMissingFolder() const;
    QString LinkTarget() const;

    // Removes what replacements killed half-way left beside the file, while
    // no other copy is replacing it (never waits for that).
    void RemoveStaleTemporaries() const;

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

    // Throw TesseloError("Unable to write to <path>") when the system refuses
    // (in EachWrite), SettingsBusyError when another program keeps the lock;
    // the file then keeps its previous text.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    // Throws the refusal a replacement would meet now (a file that cannot be
    // read or written, a folder that takes no new file), so that a piece of
    // work can stop before it starts; a full disk shows only in Close().
    void CheckWritable() const;

    // Ends the piece of work: its writes replace the file in one step. Throws
    // TesseloError("Unable to write to <path>") when the system refuses; the
    // file then keeps its previous text, the writes are still read back from
    // this object, and a later Close() tries again.
    void Close();

    struct Line {
        QByteArray text;   // without the line end
        QByteArray end;    // "\r\n", "\n" or "" for a last line without one
    };
    struct Section {
        int headerLine = -1;
        int lastLine = -1;   // last line that is not blank
    };
    struct Index {
        QHash<QByteArray, int> sections;   // folded name -> first section
        std::vector<Section> sectionList;
        QHash<QByteArray, int> entries;    // folded "section\0key" -> first line
    };
    struct Entry {
        QByteArray section;
        QByteArray key;
        QByteArray value;   // as stored
    };
    struct DiskStamp {
        qint64 size = -1;
        qint64 mtimeNs = 0;
        quint64 inode = 0;
        bool operator==(const DiskStamp&) const = default;
    };

private:
    QString path_;        // as given, for the error text
    QByteArray target_;   // the file actually replaced (a symbolic link resolved)
    mutable std::vector<Line> lines_;
    mutable Index index_;
    mutable DiskStamp stamp_;
    mutable bool loaded_ = false;
    mutable bool unreadable_ = false;   // present but could not be read: never overwrite it
    bool lockTimedOut_ = false;         // the lock was waited for once already
    Commit commit_;
    // Written since the file was last replaced; applied again to the file's
    // text whenever another writer has changed it.
    std::vector<Entry> pending_;

    void EnsureCurrent(const std::optional<struct stat>& onDisk) const;
    void Load(const std::optional<struct stat>& onDisk) const;
    const Line* FindEntry(const QByteArray& section, const QByteArray& key) const;
    void Apply(const Entry& entry) const;
    static void ReplaceValue(Line& line, const QByteArray& value);
    void InsertEntry(const QByteArray& section, const QByteArray& entry) const;
    void ReplaceFile();
    [[noreturn]] void RefuseWrite() const;
};


// The file's bytes are UTF-8; bytes that are not valid UTF-8 are carried in
// the text as U+DC80..U+DCFF so that they are written back unchanged.
QString DecodeProfileBytes(const QByteArray& bytes);
QByteArray EncodeProfileText(const QString& text);
