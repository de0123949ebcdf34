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
#include <QStringList>

#include <future>
#include <vector>

class ThumbnailCache {
public:
    ThumbnailCache() = default;
    ThumbnailCache(const ThumbnailCache&) = delete;
    ThumbnailCache& operator=(const ThumbnailCache&) = delete;
    // A prefetch still running is waited for by the future it moves with.
    ThumbnailCache(ThumbnailCache&&) = default;
    ThumbnailCache& operator=(ThumbnailCache&&) = default;
    // Waits for a prefetch still running: its thread reads the files.
    ~ThumbnailCache();

    // Starts decoding the files on a thread of its own, so that start-up
    // builds the window meanwhile. Picture() takes each result as if it had
    // decoded the file itself (the same file checks hold); a file missing now
    // is simply decoded later, when it is asked for.
    void Prefetch(const QStringList& paths);

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
    struct Decoded {
        QString path;
        Entry entry;
    };
    static Entry Decode(const QString& path);
    void TakePrefetched();

    QHash<QString, Entry> entries_;
    std::future<std::vector<Decoded>> prefetch_;
    int decodes_ = 0;
};
