#include "qt/picture_cache.h"

#include <QFileInfo>
#include <QImageReader>

namespace tarvel {

PictureLoad PictureCache::load(const QString& path, QPixmap& picture, const SizeLimit& limit) {
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
    // The sizes a file declares are read from its header; a picture far
    // larger than its place would only cost memory and time to decode. A GIF
    // decodes to its logical screen, which Qt's reader does not report.
    const auto screen = gifScreenSizeOf(path.toStdString());
    if (screen && !limit.admits(screen->width, screen->height)) return PictureLoad::NotAPicture;
    QImageReader reader(path);
    const QSize declared = reader.size();
    if (!declared.isValid() || !limit.admits(declared.width(), declared.height())) return PictureLoad::NotAPicture;
    ++decodes_;
    QImage image = reader.read();
    // Qt takes a name ending in "@2x" for a picture of half as many screen
    // pixels; the window places every picture in its own pixels.
    image.setDevicePixelRatio(1);
    if (!image.isNull() && !limit.admits(image.width(), image.height())) return PictureLoad::NotAPicture;
    if (image.isNull()) return PictureLoad::NotAPicture;
    picture = QPixmap::fromImage(image);
    if (sharing_) entries_.insert(path, Entry{picture, info.lastModified(), info.size(), generation_});
    return PictureLoad::Loaded;
}

}  // namespace tarvel
