#include "tools/managedfolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <optional>

namespace {

QByteArray HashOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

std::optional<QByteArray> ReadWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// Written beside and renamed over, so that a reader never sees half a
// picture. Not flushed to the disk: these files can always be drawn again.
bool WriteWhole(const QString& path, const QByteArray& bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    const QString temporary = path + QStringLiteral(".part");
    QFile file(temporary);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (written && std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) == 0)
        return true;
    QFile::remove(temporary);
    return false;
}

}  // namespace

ManagedFolder::ManagedFolder(const QString& root, const QStringList& allowedFolders)
    : root_(root), allowedFolders_(allowedFolders)
{
    readManifest();
}

QString ManagedFolder::path(const QString& relativePath) const { return root_ + QLatin1Char('/') + relativePath; }

bool ManagedFolder::allowed(const QString& relativePath) const
{
    if (relativePath.contains(QStringLiteral("..")))
        return false;
    for (const QString& folder : allowedFolders_)
        if (relativePath.startsWith(folder + QLatin1Char('/')))
            return true;
    return false;
}

ManagedFolder::Outcome ManagedFolder::put(const QString& relativePath, const QByteArray& bytes)
{
    seen_.insert(relativePath);
    Outcome outcome = Outcome::Failed;
    const QByteArray hash = HashOf(bytes);
    const std::optional<QByteArray> existing = ReadWhole(path(relativePath));
    if (!allowed(relativePath)) {
        errors_ << QStringLiteral("refusing to write %1").arg(relativePath);
    } else if (!existing) {
        outcome = WriteWhole(path(relativePath), bytes) ? Outcome::Written : Outcome::Failed;
    } else if (*existing == bytes) {
        // Exactly what it would write: its own, even when its list was lost
        // (a build tree's clean removes the list and leaves the pictures).
        outcome = Outcome::Unchanged;
    } else if (previous_.value(relativePath) != HashOf(*existing)) {
        outcome = Outcome::KeptUsersFile;  // not ours, or changed since we wrote it
    } else {
        outcome = WriteWhole(path(relativePath), bytes) ? Outcome::Written : Outcome::Failed;
    }
    if (outcome == Outcome::Failed && allowed(relativePath))
        errors_ << QStringLiteral("cannot write %1").arg(path(relativePath));
    if (outcome == Outcome::Written || outcome == Outcome::Unchanged)
        current_.insert(relativePath, hash);
    ++counts_[outcome];
    return outcome;
}

bool ManagedFolder::finish()
{
    for (auto it = previous_.cbegin(); it != previous_.cend(); ++it) {
        if (seen_.contains(it.key()) || !allowed(it.key()))
            continue;
        const std::optional<QByteArray> existing = ReadWhole(path(it.key()));
        if (existing && HashOf(*existing) == it.value())
            QFile::remove(path(it.key()));
    }
    return writeManifest() && errors_.isEmpty();
}

void ManagedFolder::readManifest()
{
    const std::optional<QByteArray> text = ReadWhole(path(QString::fromLatin1(kManifestName)));
    if (!text)
        return;
    for (const QByteArray& line : text->split('\n')) {
        const int blank = line.indexOf(' ');
        if (blank > 0)
            previous_.insert(QString::fromUtf8(line.mid(blank + 1)), line.left(blank));
    }
}

bool ManagedFolder::writeManifest()
{
    QStringList paths = current_.keys();
    paths.sort();
    QByteArray text;
    for (const QString& relativePath : paths)
        text += current_.value(relativePath) + ' ' + relativePath.toUtf8() + '\n';
    if (WriteWhole(path(QString::fromLatin1(kManifestName)), text))
        return true;
    errors_ << QStringLiteral("cannot write the list of generated files in %1").arg(root_);
    return false;
}
