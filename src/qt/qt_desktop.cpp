#include "qt/qt_desktop.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace tarvel {

std::optional<std::string> QtDesktop::chooseSavePath(const std::string& title, const std::string& proposedPath) {
    // The dialog asks itself before it lets a file of that name be replaced.
    const QString chosen =
        QFileDialog::getSaveFileName(parent_, QString::fromStdString(title), QString::fromStdString(proposedPath),
                                     QStringLiteral("CSV (*.csv);;すべてのファイル (*)"));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

bool QtDesktop::openFolder(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool QtDesktop::confirm(const std::string& title, const std::string& question) {
    // "No" is the default: Enter alone never takes a run back.
    return QMessageBox::question(parent_, QString::fromStdString(title), QString::fromStdString(question),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace tarvel
