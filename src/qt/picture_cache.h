#pragma once

#include <QDateTime>
#include <QHash>
#include <QPixmap>
#include <QString>

#include "ui/picture_limits.h"
#include "ui/window.h"

namespace tarvel {

// Decoded pictures by file, so that elements showing the same file share one
// picture. An entry is used again only while the file on disk is unchanged;
// the file is looked at once per batch of loads (between two event pumps).
class PictureCache {
public:
    // A picture larger than `limit` is refused as no picture, before it is decoded.
    PictureLoad load(const QString& path, QPixmap& picture, const SizeLimit& limit);
    // Without sharing every load decodes its file afresh (for comparison in the bench).
    void setSharing(bool on) { sharing_ = on; }
    // A new batch: every file is looked at again before its entry is used.
    void startBatch() { ++generation_; }
    // How many files it has decoded (the tests and the bench count them).
    int decodes() const { return decodes_; }

private:
    struct Entry {
        QPixmap picture;
        QDateTime modified;
        qint64 size = 0;
        quint64 checkedIn = 0;  // the batch in which the file was last looked at
    };
    QHash<QString, Entry> entries_;
    bool sharing_ = true;
    quint64 generation_ = 1;
    int decodes_ = 0;
};

}  // namespace tarvel
