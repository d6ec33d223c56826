#include "qt/picture_cache.h"

#include <QFileInfo>
#include <QImageReader>

namespace tarvel {

PictureLoad PictureCache::load(const QString& path, QPixmap& picture) {
    const QFileInfo info(path);
    if (!info.isFile()) return PictureLoad::Missing;
    const auto cached = entries_.constFind(path);
    if (sharing_ && cached != entries_.constEnd() && cached->modified == info.lastModified() && cached->size == info.size()) {
        picture = cached->picture;
        return PictureLoad::Loaded;
    }
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) return PictureLoad::NotAPicture;
    picture = QPixmap::fromImage(image);
    if (sharing_) entries_.insert(path, Entry{picture, info.lastModified(), info.size()});
    return PictureLoad::Loaded;
}

}  // namespace tarvel
