#include "app/thumbnailcache.h"

#include "trainer/pictures.h"

#include <QFileInfo>

QImage ThumbnailCache::Picture(const QString& path)
{
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
    const QImage picture = ReadPictureFile(path);
    if (picture.isNull())
        entries_.remove(path);
    else
        entries_.insert(path, {info.size(), info.lastModified(), info.metadataChangeTime(), picture});
    return picture;
}
