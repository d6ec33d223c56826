#include "qt/launcher_problem.h"

#include <QApplication>
#include <QMessageBox>

#include "qt/fonts.h"

namespace tarvel {

int showLauncherProblem(int argc, char** argv, const QString& problem) {
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("invalid.tarvel.Tarvel"));
    installFontSubstitutes();
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tarvel を起動できません"),
                    QStringLiteral("Tarvel を起動できません。"));
    box.setInformativeText(problem);
    box.addButton(QStringLiteral("閉じる"), QMessageBox::RejectRole);
    // Room for a long path on few lines.
    box.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 26em; }"));
    box.exec();
    return 1;
}

}  // namespace tarvel
