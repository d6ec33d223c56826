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
    // Without sharing every load decodes its file afresh (for comparison in the bench).
    void setSharing(bool on) { sharing_ = on; }

private:
    struct Entry {
        QPixmap picture;
        QDateTime modified;
        qint64 size = 0;
    };
    QHash<QString, Entry> entries_;
    bool sharing_ = true;
};

}  // namespace tarvel
