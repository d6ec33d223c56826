// tarvel-check [DIR]: checks the data set in DIR (the current folder by
// default) as Tarvel will read it, printing every problem as FILE:LINE: what.
#include <QGuiApplication>
#include <QImageReader>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "check/data_set_check.h"
#include "ui/picture_limits.h"

namespace {

tarvel::PictureInfo probePicture(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return {tarvel::PictureInfo::Missing};
    QImageReader reader(QString::fromStdString(path.string()));
    // A picture declaring a size far beyond any place is reported by its
    // size, without decoding it; a GIF by its logical screen, too, which it
    // decodes to whatever its frames' size.
    const QSize declared = reader.size();
    if (!declared.isValid()) return {tarvel::PictureInfo::Unreadable};
    const auto screen = tarvel::gifScreenSizeOf(path);
    const int width = std::max(declared.width(), screen ? screen->width : 0);
    const int height = std::max(declared.height(), screen ? screen->height : 0);
    if (width > 1016 || height > 713) return {tarvel::PictureInfo::Ok, width, height};
    const QImage image = reader.read();
    if (image.isNull()) return {tarvel::PictureInfo::Unreadable};
    return {tarvel::PictureInfo::Ok, image.width(), image.height()};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: tarvel-check [DIR]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // the picture readers are plugins of the GUI library
    const std::filesystem::path root = argc == 2 ? argv[1] : ".";
    if (!std::filesystem::is_directory(root / "system")) {
        std::fprintf(stderr, "tarvel-check: %s holds no system folder\n", root.string().c_str());
        return 2;
    }
    const std::vector<tarvel::Problem> problems = tarvel::checkDataSet(root, probePicture);
    for (const tarvel::Problem& problem : problems) std::printf("%s\n", tarvel::formatProblem(problem).c_str());
    if (!problems.empty()) std::fprintf(stderr, "tarvel-check: %zu problems\n", problems.size());
    return problems.empty() ? 0 : 1;
}
