#include "qt/picture_cache.h"

#include <QFileInfo>
#include <QImageReader>

namespace tarvel {

PictureLoad PictureCache::load(const QString& path, QPixmap& picture) {
    const auto cached = sharing_ ? entries_.find(path) : entries_.end();
    if (cached != entries_.end() && cached->checkedIn == generation_) {
        picture = cached->picture;
        return PictureLoad::Loaded;
    }
    const QFileInfo info(path);
    if (!info.isFile()) return PictureLoad::Missing;
    if (cached != entries_.end() && cached->modified == info.lastModified() && cached->size == info.size()) {
        cached->checkedIn = generation_;
        picture = cached->picture;
        return PictureLoad::Loaded;
    }
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) return PictureLoad::NotAPicture;
    picture = QPixmap::fromImage(image);
    if (sharing_) entries_.insert(path, Entry{picture, info.lastModified(), info.size(), generation_});
    return PictureLoad::Loaded;
}

}  // namespace tarvel
