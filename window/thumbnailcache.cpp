#include "window/thumbnailcache.h"

#include "window/pictures.h"

#include <QFileInfo>

ThumbnailCache::~ThumbnailCache()
{
    if (prefetch_.valid())
        prefetch_.wait();
}

// The file's identity is taken before it is read, as a later check compares
// it: a file replaced meanwhile is decoded again at its next load.
ThumbnailCache::Entry ThumbnailCache::Decode(const QString& path)
{
    const QFileInfo info(path);
    return {info.size(), info.lastModified(), info.metadataChangeTime(), ReadPictureFile(path)};
}

void ThumbnailCache::Prefetch(const QStringList& paths)
{
    TakePrefetched();
    prefetch_ = std::async(std::launch::async, [paths] {
        std::vector<Decoded> decoded;
        decoded.reserve(paths.size());
        for (const QString& path : paths) {
            if (QFileInfo::exists(path))
                decoded.push_back({path, Decode(path)});
        }
        return decoded;
    });
}

void ThumbnailCache::TakePrefetched()
{
    if (!prefetch_.valid())
        return;
    for (Decoded& decoded : prefetch_.get()) {
        ++decodes_;
        if (!decoded.entry.picture.isNull())
            entries_.insert(decoded.path, std::move(decoded.entry));
    }
}

QImage ThumbnailCache::Picture(const QString& path)
{
    TakePrefetched();
    const QFileInfo info(path);
    if (!info.exists()) {
        entries_.remove(path);
        return {};
    }
    const auto kept = entries_.constFind(path);
    if (kept != entries_.constEnd() && kept->size == info.size() && kept->modified == info.lastModified()
        && kept->changed == info.metadataChangeTime())
        return kept->picture;
    ++decodes_;
    Entry decoded = Decode(path);
    const QImage picture = decoded.picture;
    if (picture.isNull())
        entries_.remove(path);
    else
        entries_.insert(path, std::move(decoded));
    return picture;
}
