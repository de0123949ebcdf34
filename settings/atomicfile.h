#pragma once
// Replacing a whole file so that it holds its old bytes or its new ones at
// every moment, for every reader, after any crash or power cut: the new bytes
// go to a fresh temporary file created exclusively in the same folder (never
// through a link), reach the disk, and are renamed over the name; the folder
// is then flushed. No widgets.

#include <QByteArray>
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
// refused anything: the old file is then untouched and no temporary is left.
bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes, const FileReplacement& how = {});

// Flushes a folder's entries (a rename in it) to the disk.
void SyncFolderOf(const QString& path);
