// GIF pictures for tests, written with the data set's own GIF writer.
#pragma once

#include <QColor>
#include <QImage>
#include <string>

#include "support/data_folder.h"

namespace tarvel::test {

// A picture of one colour; `transparentRight` leaves its right half transparent.
QImage solidPicture(int width, int height, QColor colour, bool transparentRight = false);
// Writes `picture` as a GIF at a data path of the folder.
void writeGif(const DataFolder& folder, const std::string& dataPath, const QImage& picture);
// Every page picture, a staff, key signatures, notes and fingers: enough for
// the window and the driver to run through every page and a run.
void writePictureSet(const DataFolder& folder);

}  // namespace tarvel::test
