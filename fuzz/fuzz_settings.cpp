// Settings.ini as a user, an editor or a damaged disk may leave it, followed
// by the writes the program makes. Properties:
//   - reading never crashes, whatever the bytes;
//   - what is written reads back, from the same object and from a fresh one;
//   - a write changes the key written and no other key;
//   - the integer forms written read back as the same integer;
//   - once the piece of work is closed, no temporary file is left beside it.
// The input's front is the file's text; its tail drives the writes.
#include "fuzz_check.h"
#include "settings/settingsfile.h"
#include "core/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <map>
#include <set>
#include <unistd.h>

namespace {

// The file matches names without regard to the case of ASCII letters only.
QString FoldAscii(QString name)
{
    for (QChar& c : name)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() - u'A' + u'a');
    return name;
}

struct Name {
    QString section;
    QString key;
    bool operator<(const Name& other) const
    {
        const auto fold = [](const Name& n) { return std::pair(FoldAscii(n.section), FoldAscii(n.key)); };
        return fold(*this) < fold(other);
    }
};

// The program's own names and a few that differ only in letter case.
const char* const kSections[] = {"Settings", "settings", "Results", "OLL hints", "PLL HINTS", "Position", "Tuning", "New"};
const char* const kKeys[] = {"hint1", "HINT1", "al1", "avg57", "mode", "Language", "showexamnotice", "k"};

// One folder on a memory file system for the whole run: the flush at the end
// of each piece of work then costs nothing.
const QString& Folder()
{
    static const QString folder = [] {
        QByteArray pattern = QFileInfo::exists(QStringLiteral("/dev/shm")) ? "/dev/shm/tesselo-fuzz-XXXXXX" : "/tmp/tesselo-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern.data());
        FuzzCheck(made != nullptr, "a scratch folder can be made");
        return QString::fromLocal8Bit(made);
    }();
    return folder;
}

QString SettingsPath() { return Folder() + QStringLiteral("/Settings.ini"); }

void PutFile(const QByteArray& bytes)
{
    QFile file(SettingsPath());
    FuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
              "the input can be put on disk");
}

// A name the file format can hold: it cannot start a comment or a section,
// hold "=" or "]" or a line end, or start or end with a blank.
bool IsStorableName(const QString& name, bool isSection)
{
    if (name.isEmpty() || name.front().isSpace() || name.back().isSpace())
        return false;
    if (!isSection && (name.startsWith(u';') || name.startsWith(u'#') || name.startsWith(u'[')))
        return false;
    for (const QChar c : name)
        if (c == u'=' || c == u']' || c == u'\r' || c == u'\n' || c == u'\0' || c == u'\t')
            return false;
    return true;
}

// Sections and keys the input's own text holds, so that writes meet
// duplicates, odd spellings and entries before any section.
void CollectNames(const QByteArray& text, std::vector<QString>& sections, std::vector<QString>& keys)
{
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = DecodeProfileBytes(raw).trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            if (IsStorableName(name, true))
                sections.push_back(name);
        } else if (const qsizetype equals = line.indexOf(u'='); equals > 0) {
            const QString key = line.left(equals).trimmed();
            if (IsStorableName(key, false))
                keys.push_back(key);
        }
    }
}

QByteArray ConsumeTailBytes(FuzzedDataProvider& input, size_t longest)
{
    QByteArray bytes;
    const size_t length = input.ConsumeIntegralInRange<size_t>(0, longest);
    for (size_t i = 0; i < length && input.remaining_bytes() > 0; ++i)
        bytes.append(static_cast<char>(input.ConsumeIntegral<uint8_t>()));
    return bytes;
}

// What a value reads back as: line ends and NUL become blanks, at most 2047 characters.
QString ReadBackOf(QByteArray bytes)
{
    for (char& c : bytes)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    QString text = DecodeProfileBytes(bytes);
    if (text.size() > 2047)
        text.truncate(text[2046].isHighSurrogate() ? 2046 : 2047);
    return text;
}

struct Session {
    std::vector<QString> sections;
    std::vector<QString> keys;
    std::set<Name> probes;              // every name read after each write
    std::map<Name, QString> baseline;   // as read before any write
    std::map<Name, QString> written;    // what the writes promised
};

const QString kAbsent = QStringLiteral("\x01absent");

QString Expected(const Session& session, const Name& name)
{
    if (const auto w = session.written.find(name); w != session.written.end())
        return w->second;
    return session.baseline.at(name);
}

void CheckEveryProbe(const Session& session, const SettingsFile& live, const char* when)
{
    const SettingsFile fresh(SettingsPath());
    for (const Name& name : session.probes) {
        const QString expected = Expected(session, name);
        const QString story = name.section + QStringLiteral(" / ") + name.key + QStringLiteral(": expected [")
            + expected + QStringLiteral("] ") + QString::fromLatin1(when);
        FuzzCheck(live.ReadString(name.section, name.key, kAbsent) == expected, "the live file reads what was written", story);
        FuzzCheck(fresh.ReadString(name.section, name.key, kAbsent) == expected, "a fresh reader reads what was written", story);
        live.ReadInteger(name.section, name.key, 7);
        live.ReadBool(name.section, name.key, true);
    }
}

Name PickName(FuzzedDataProvider& input, const Session& session)
{
    const QString section = session.sections[input.ConsumeIntegralInRange<size_t>(0, session.sections.size() - 1)];
    QString key = session.keys[input.ConsumeIntegralInRange<size_t>(0, session.keys.size() - 1)];
    if (input.ConsumeBool())
        key += QString::number(input.ConsumeIntegralInRange(0, 99));
    return {section, key};
}

void WriteOne(FuzzedDataProvider& input, Session& session, SettingsFile& file)
{
    const Name name = PickName(input, session);
    session.probes.insert(name);
    if (!session.baseline.count(name))
        session.baseline[name] = SettingsFile(SettingsPath()).ReadString(name.section, name.key, kAbsent);
    try {
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            const int value = input.ConsumeIntegral<int>();
            file.WriteInteger(name.section, name.key, value);
            FuzzCheck(file.ReadInteger(name.section, name.key, value ^ 1) == value, "an integer reads back",
                      QString::number(value));
            session.written[name] = QString::number(value);
            break;
        }
        case 1: {
            const bool value = input.ConsumeBool();
            file.WriteBool(name.section, name.key, value);
            FuzzCheck(file.ReadBool(name.section, name.key, !value) == value, "a boolean reads back");
            session.written[name] = value ? QStringLiteral("1") : QStringLiteral("0");
            break;
        }
        case 2: {   // a value longer than the reader hands back
            const QByteArray unit = ConsumeTailBytes(input, 4);
            const QByteArray value = unit.repeated(unit.isEmpty() ? 0 : 3000 / unit.size() + 1);
            file.WriteString(name.section, name.key, DecodeProfileBytes(value));
            session.written[name] = ReadBackOf(value);
            break;
        }
        default: {
            const QByteArray value = ConsumeTailBytes(input, 64);
            file.WriteString(name.section, name.key, DecodeProfileBytes(value));
            session.written[name] = ReadBackOf(value);
            break;
        }
        }
    } catch (const TesseloError& error) {
        FuzzCheck(false, "a writable file takes every write", error.text());
    }
}

void CheckNoLeftovers()
{
    const QStringList names = QDir(Folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    FuzzCheck(names == QStringList{QStringLiteral("Settings.ini")}, "closing leaves only Settings.ini",
              names.join(u' '));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int writes = input.ConsumeIntegralInRange(0, 6);
    // The tail drives the writes; the text is what the front leaves.
    const size_t tailLength = input.ConsumeIntegralInRange<size_t>(0, 127);
    const size_t textLength = input.remaining_bytes() > tailLength ? input.remaining_bytes() - tailLength : 0;
    const std::vector<uint8_t> front = input.ConsumeBytes<uint8_t>(textLength);
    const QByteArray text(reinterpret_cast<const char*>(front.data()), static_cast<qsizetype>(front.size()));
    PutFile(text);

    Session session;
    for (const char* s : kSections)
        session.sections.push_back(QString::fromLatin1(s));
    for (const char* k : kKeys)
        session.keys.push_back(QString::fromLatin1(k));
    CollectNames(text, session.sections, session.keys);

    {
        SettingsFile file(SettingsPath());
        for (int i = 0; i < writes && input.remaining_bytes() > 0; ++i) {
            WriteOne(input, session, file);
            CheckEveryProbe(session, file, "after a write");
        }
        file.Close();
        CheckEveryProbe(session, file, "after closing");
    }
    CheckNoLeftovers();
    return 0;
}
