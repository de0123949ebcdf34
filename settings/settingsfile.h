#pragma once
// Settings.ini: sections of "key=value" lines with CR LF line ends, read and
// written with private-profile semantics (case-insensitive names, first
// duplicate wins, values trimmed and unquoted, at most 2047 characters read,
// in-place replacement keeping the entry's position and first spelling).
// Every write reaches the disk before it returns and is atomic: the new text
// goes to a temporary file beside the old one, which is then renamed over it.

#include <QByteArray>
#include <QString>

class SettingsFile {
public:
    explicit SettingsFile(const QString& path);
    ~SettingsFile();   // Close()

    const QString& Path() const { return path_; }
    bool Exists() const;

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

    // Throw TesseloError("Unable to write to <path>") when the system refuses.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    // Ends the piece of work: flushes what was written to the disk once.
    void Close();

private:
    QString path_;
    mutable QByteArray text_;
    mutable bool loaded_ = false;
    bool dirty_ = false;
    void Load() const;
};

// The integer reading of the file's value forms ("$1F", "0x1f", "-12", " 7"):
// false when the text is not an integer in any of them.
bool ParseProfileInteger(const QString& text, int& value);
