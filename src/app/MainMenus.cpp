#include "app/MainMenus.h"
#include "base/Version.h"

#include <QMainWindow>
#include <QMenuBar>

namespace quendrix {
namespace {

QAction* item(QMenu* menu, const QString& caption, const QString& name, bool enabled = true) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setEnabled(enabled);
    return action;
}

} // namespace

MainMenus::MainMenus(QMainWindow& window) {
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("File(&F)"));
    recentFiles = file->addMenu(QStringLiteral("&Recent files"));
    recentFiles->menuAction()->setObjectName(QStringLiteral("RecentFiles"));
    file->addSeparator();
    QMenu* save = file->addMenu(QStringLiteral("&Save Matrix"));
    commonOutput = item(save, QStringLiteral("Quendrix common output format"),
                        QStringLiteral("mnuCommonOutput"));
    commonOutput->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    // The older format is listed but never offered.
    QMenu* older = save->addMenu(QStringLiteral("Quendrix 2.0 output format"));
    older->menuAction()->setObjectName(QStringLiteral("QX20output"));
    older->menuAction()->setEnabled(false);
    item(older, QStringLiteral("Probability Distribution"),
         QStringLiteral("ProbabilityDistribution"), false);
    item(older, QStringLiteral("Confidence Regions"), QStringLiteral("ConfidenceRegions"), false);
    exportFigures =
        item(file, QStringLiteral("&Export figures..."), QStringLiteral("ExportFigures"), false);
    checkCoverage =
        item(file, QStringLiteral("Check &coverage..."), QStringLiteral("CheckCoverage"));
    suggestSettings = item(file, QStringLiteral("Su&ggest settings..."),
                           QStringLiteral("SuggestSettings"), false);
    file->addSeparator();
    printOptions = item(file, QStringLiteral("Print Options"), QStringLiteral("PrintOptions"));
    print = item(file, QStringLiteral("&Print"), QStringLiteral("PrintAll"));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    file->addSeparator();
    quit = item(file, QStringLiteral("&Quit"), QStringLiteral("Quit"));
    quit->setShortcut(QKeySequence::Quit);

    QMenu* edit = window.menuBar()->addMenu(QStringLiteral("Edit(&E)"));
    colourSettings = item(edit, QStringLiteral("Colour Settings"), QStringLiteral("ColourSetting"));
    edit->addSeparator();
    copyMenu = edit->addMenu(QStringLiteral("&Copy"));
    copyMenu->menuAction()->setObjectName(QStringLiteral("Copy"));
    for (int n = 1; n <= 8; ++n) {
        QAction* a = item(copyMenu, QStringLiteral("Fig.&%1").arg(n),
                          QStringLiteral("CopyFig%1").arg(n), false);
        a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_F1 + n - 1)));
        copies[size_t(n - 1)] = a;
    }

    QMenu* help = window.menuBar()->addMenu(QStringLiteral("Help(&H)"));
    about = item(help, QStringLiteral("&About ") + QString::fromLatin1(ProgramTitle),
                 QStringLiteral("mnuAbout"));

    static const char* const detailNames[] = {"DetailProb", "DetailConfi"};
    static const char* const saveNames[] = {"SaveMartixProb", "SaveMatrixConfi"};
    for (int n = 1; n <= 8; ++n) {
        auto* menu = new QMenu(QStringLiteral("Fig%1").arg(n), &window);
        if (n >= 7) {
            const auto k = size_t(n - 7);
            details[k] =
                item(menu, QStringLiteral("More details"), QString::fromLatin1(detailNames[k]));
            saves[k] =
                item(menu, QStringLiteral("&Save matrix"), QString::fromLatin1(saveNames[k]));
            menu->addSeparator();
        }
        figureCopies[size_t(n - 1)] =
            item(menu, n >= 7 ? QStringLiteral("&Copy") : QStringLiteral("Copy"),
                 QStringLiteral("Copy%1").arg(n), false);
        figureMenus_[size_t(n - 1)] = menu;
    }
}

QMenu* MainMenus::figureMenu(int n, bool drawn) const {
    if (n >= 7) {
        details[size_t(n - 7)]->setEnabled(drawn);
        saves[size_t(n - 7)]->setEnabled(drawn);
    }
    return figureMenus_[size_t(n - 1)];
}

} // namespace quendrix
