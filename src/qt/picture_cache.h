#pragma once

#include <QDateTime>
#include <QHash>
#include <QPixmap>
#include <QString>

#include "ui/window.h"

namespace tarvel {

// Decoded pictures by file, so that elements showing the same file share one
// picture. An entry is used again only while the file on disk is unchanged.
class PictureCache {
public:
    PictureLoad load(const QString& path, QPixmap& picture);

private:
    struct Entry {
        QPixmap picture;
        QDateTime modified;
        qint64 size = 0;
    };
    QHash<QString, Entry> entries_;
};

}  // namespace tarvel
