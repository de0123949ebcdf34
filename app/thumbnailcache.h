#pragma once
// The decoded Easy pictures of both sets, kept after their first load so that
// a set switch decodes nothing. A kept picture serves only while its file is
// the same file: same size, same modification time and same status-change
// time. Replacing a picture moves the last one even when the replacement
// keeps the modification time (cp -p, an unpacked archive), so a user who
// replaces a picture sees the new one at the next load, as without the cache.

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QString>

class ThumbnailCache {
public:
    // The picture of the file at path: the kept one while the file is
    // unchanged, else the file decoded again (ReadPictureFile). A null image
    // when the file is missing or does not decode; failures are not kept.
    QImage Picture(const QString& path);

    int DecodeCount() const { return decodes_; }

private:
    struct Entry {
        qint64 size = -1;
        QDateTime modified;
        QDateTime changed;
        QImage picture;
    };
    QHash<QString, Entry> entries_;
    int decodes_ = 0;
};
