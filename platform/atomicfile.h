#pragma once
// Replacing a whole file so that it holds its old bytes or its new ones at
// every moment, for every reader, after any crash or power cut: the new bytes
// go to a fresh temporary file created exclusively in the same folder (never
// through a link), reach the disk, and are renamed over the name; the folder
// is then flushed. No widgets.

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

struct FileReplacement {
    // Mode of a file that does not exist yet (the umask applies).
    mode_t newFileMode = 0644;
    // A regular file at the name keeps its owner, group and permissions.
    bool keepOwnerAndMode = true;
    // Flush the data and the folder (off only for files that may be lost,
    // such as a texture rewritten at every start).
    bool durable = true;
};

// A symbolic link at the name is replaced by the file, not followed; a
// folder, a pipe or a device at the name is refused. False when the system
// refused anything (errno tells what): the old file is then untouched and no
// temporary is left. Also false when the folder could not be flushed after
// the rename: the new bytes are then at the name but may not survive a power
// cut, so the write must not count as done.
// The temporary is named "<name>.tmp.XXXXXX".
bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes, const FileReplacement& how = {});

// Removes the temporaries a replacement of path left when its run was killed
// (and "<name>.tmp", the name older versions used), links as links. Only safe
// while no other process may be replacing the same file.
void RemoveStaleTemporaries(const QString& path);
// The same for several files of one folder, with one look at the folder;
// names are plain file names.
void RemoveStaleTemporaries(const QString& folder, const QList<QByteArray>& names);

// True for "<name>.tmp.XXXXXX" (six letters or digits, as mkostemp makes
// them) and "<name>.tmp": the temporaries of name and nothing else.
bool IsTemporaryName(const QByteArray& entry, const QByteArray& name);

// Flushes a folder's entries (a rename in it) to the disk. False when the
// system reports the flush failed; a file system that cannot flush folders
// at all, or a folder that cannot be opened for it, is no failure.
bool SyncFolderOf(const QString& path);

// The process's file-creation mask, read without changing it (setting and
// restoring it would race with any thread creating a file meanwhile).
mode_t CurrentUmask();
