#include "app/MainWindow.h"
#include "base/Version.h"

#include "app/ClickableLabel.h"
#include "app/ControlPanel.h"
#include "app/FigurePanel.h"
#include "app/MainMenus.h"
#include "app/Remembered.h"
#include "app/Workflow.h"
#include "ui/FigureSurface.h"
#include "ui/SliderFocusStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QUrl>

namespace quendrix {

MainWindow::MainWindow(ui::DialogService& dialogs, QWidget* parent)
    : QMainWindow(parent), controls_(new ControlPanel), controlScroll_(new QScrollArea),
      windowScroll_(new QScrollArea), figures_(new FigurePanel) {
    setWindowTitle(QString::fromLatin1(ProgramTitle));
    setAcceptDrops(true);
    auto* central = new QWidget;
    // A click on the background takes the focus, so an edited range box is checked.
    central->setFocusPolicy(Qt::ClickFocus);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(12);
    // The controls keep their size; only a window too short for them scrolls them.
    controls_->setFixedWidth(controls_->sizeHint().width());
    controlScroll_->setWidget(controls_);
    controlScroll_->setWidgetResizable(true);
    controlScroll_->setFrameShape(QFrame::NoFrame);
    controlScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    controlScroll_->setFixedWidth(controls_->width() +
                                  controlScroll_->verticalScrollBar()->sizeHint().width());
    controlScroll_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    controlScroll_->setObjectName(QStringLiteral("ControlScroll"));
    row->addWidget(controlScroll_);
    row->addWidget(figures_, 1);
    // A window manager or a small screen may give the window less than the minimum it asks for
    // (below): then the whole window scrolls, rather than lay the figures over the controls.
    windowScroll_->setWidget(central);
    windowScroll_->setWidgetResizable(true);
    windowScroll_->setFrameShape(QFrame::NoFrame);
    windowScroll_->setObjectName(QStringLiteral("WindowScroll"));
    setCentralWidget(windowScroll_);
    statusBar()->setSizeGripEnabled(true);

    menus_ = std::make_unique<MainMenus>(*this);
    workflow_ = std::make_unique<Workflow>(session_, *controls_, *figures_, *menus_, dialogs,
                                           *statusBar(), *this);
    connectMenus();
    connectControls();
    setTabOrder();
    ui::showSliderFocus(this);
    workflow_->formLoad();
    // The room the controls and the smallest figures need, if the screen has it.
    QSize least = central->minimumSizeHint() +
                  QSize(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    if (screen() != nullptr) {
        least = least.boundedTo(screen()->availableGeometry().size());
    }
    setMinimumSize(least);
    if (!remembered::restoreWindowPlace(*this, QStringLiteral("Main"))) {
        const QSize preferred(1560, 800);
        resize(screen() != nullptr ? preferred.boundedTo(screen()->availableGeometry().size())
                                   : preferred);
        // The frame is known once the window manager has framed the shown window.
        fitFrameWhenActive_ = true;
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::connectMenus() {
    MainMenus& m = *menus_;
    Workflow* w = workflow_.get();
    connect(m.quit, &QAction::triggered, this, &QWidget::close);
    connect(m.about, &QAction::triggered, w, &Workflow::openAboutBox);
    connect(m.colourSettings, &QAction::triggered, w, &Workflow::showColourSettings);
    connect(m.printOptions, &QAction::triggered, w, &Workflow::openPrintOptions);
    connect(m.print, &QAction::triggered, w, [w] { w->printing().printMainWindow(); });
    w->printing().attachCopyItems(m.copyMenu, m.copies, m.figureCopies);
    // Every save entry of the window is the one save.
    for (QAction* save : {m.commonOutput, m.saves[0], m.saves[1]}) {
        connect(save, &QAction::triggered, w, &Workflow::saveResult);
    }
    connect(m.exportFigures, &QAction::triggered, w, &Workflow::exportFigures);
    connect(m.checkCoverage, &QAction::triggered, w, &Workflow::checkCoverage);
    connect(m.suggestSettings, &QAction::triggered, w, &Workflow::suggestSettings);
    connect(m.details[0], &QAction::triggered, w, [w] { w->openChart(ChartMode::Probability); });
    connect(m.details[1], &QAction::triggered, w, [w] { w->openChart(ChartMode::Confidence); });
    for (int n = 1; n <= 8; ++n) {
        connect(
            figures_->figure(n), &ui::FigureSurface::pressed, w,
            [w, n](Qt::MouseButton button, const QPoint& at) { w->figurePressed(n, button, at); });
    }
}

void MainWindow::connectControls() {
    ControlPanel& c = *controls_;
    Workflow* w = workflow_.get();
    FigureSynchroniser* sync = &w->figures();
    for (int f = 0; f < 2; ++f) {
        connect(c.file[size_t(f)].importButton, &QPushButton::clicked, w,
                [w, f] { w->readDataFile(f); });
        connect(figures_->picture1(f), &ui::FigureSurface::mouseMoved, w,
                [sync, f] { sync->scatterHovered(f); });
    }
    for (int k = 0; k < 6; ++k) {
        ui::FigureSurface* surface = figures_->picture2(k);
        connect(surface, &ui::FigureSurface::clicked, w, [w, k](Qt::MouseButton button) {
            if (button == Qt::LeftButton) {
                w->figureClicked(k);
            }
        });
        connect(surface, &ui::FigureSurface::mouseMoved, w, [sync, k] { sync->stageHovered(k); });
        connect(surface, &ui::FigureSurface::mouseLeft, surface,
                [surface] { surface->setFlat(false); });
    }
    figures_->showPointerReadings(*statusBar(),
                                  [sync](int n, const QRectF& area, const QPointF& at) {
                                      return sync->readingAt(n, area, at);
                                  });
    connect(c.run.start, &QPushButton::clicked, w, &Workflow::start);
    connect(c.coefficients.colourSettings, &QPushButton::clicked, w, &Workflow::showColourSettings);
    connect(c.run.quit, &QPushButton::clicked, this, &QWidget::close);
    for (QLineEdit* box : {c.range.lower, c.range.upper}) {
        connect(box, &QLineEdit::textChanged, w, &Workflow::rangeTextChanged);
        connect(box, &QLineEdit::returnPressed, w, &Workflow::rangeReturnPressed);
        box->installEventFilter(this);
    }
    connect(c.model.generateModel, &QCheckBox::clicked, w, &Workflow::generateModelClicked);
    connect(c.model.modelSlider, &QSlider::valueChanged, w, &Workflow::modelSliderChanged);
    connect(c.model.showFittingLine, &QCheckBox::clicked, w, &Workflow::showFittingLineClicked);
    connect(c.coefficients.showMode, &QCheckBox::clicked, w, &Workflow::overlayClicked);
    connect(c.coefficients.showAverage, &QCheckBox::clicked, w, &Workflow::overlayClicked);
    connect(c.thresholds.skip, &QCheckBox::clicked, w,
            [w](bool on) { w->changeSetting(Setting::Skip, on); });
    const std::pair<QSlider*, Setting> sliders[] = {
        {c.smoothing.slider, Setting::Smoothing},
        {c.thresholds.vertical, Setting::VerticalThreshold},
        {c.thresholds.horizontal, Setting::HorizontalThreshold},
        {c.coefficients.sliders[0], Setting::Coefficient1},
        {c.coefficients.sliders[1], Setting::Coefficient2}};
    for (const auto& [slider, setting] : sliders) {
        connect(slider, &QSlider::valueChanged, w,
                [w, setting = setting](int value) { w->changeSetting(setting, value); });
    }
    for (int k = 0; k < 2; ++k) {
        connect(c.coefficients.values[size_t(k)], &ClickableLabel::clicked, w,
                [w, k] { w->openCoefficientDialog(k); });
    }
    // A control that takes the focus in a scrolled panel or window comes into view.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && controls_->isAncestorOf(now)) {
            controlScroll_->ensureWidgetVisible(now);
        }
        if (now != nullptr && windowScroll_->widget()->isAncestorOf(now)) {
            windowScroll_->ensureWidgetVisible(now);
        }
    });
}

// Tab follows the panel from top to bottom, then the figures in reading order. "Start" is
// reached where it stands: beside "Quit", or beside the model slider.
void MainWindow::setTabOrder() {
    ControlPanel& c = *controls_;
    QWidget* const chain[] = {c.file[0].importButton,
                              c.file[1].importButton,
                              c.model.showFittingLine,
                              c.model.generateModel,
                              c.model.modelSlider,
                              c.range.lower,
                              c.range.upper,
                              c.smoothing.slider,
                              c.thresholds.vertical,
                              c.thresholds.skip,
                              c.thresholds.horizontal,
                              c.coefficients.sliders[0],
                              c.coefficients.values[0],
                              c.coefficients.sliders[1],
                              c.coefficients.values[1],
                              c.coefficients.showMode,
                              c.coefficients.showAverage,
                              c.coefficients.colourSettings,
                              c.run.start,
                              c.run.quit,
                              figures_->figure(1),
                              figures_->figure(2),
                              figures_->figure(3),
                              figures_->figure(4),
                              figures_->figure(5),
                              figures_->figure(6),
                              figures_->figure(7),
                              figures_->figure(8)};
    for (size_t i = 1; i < std::size(chain); ++i) {
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    }
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        if (fitFrameWhenActive_) {
            fitFrameWhenActive_ = false;
            remembered::keepFrameOnScreen(*this);
        }
        workflow_->activated();
    }
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == controls_->range.lower || watched == controls_->range.upper)) {
        workflow_->rangeEditFinished();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    remembered::saveWindowPlace(*this, QStringLiteral("Main"));
    workflow_->shutDown();
    event->accept();
}

} // namespace quendrix

namespace quendrix {

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        event->acceptProposedAction();
    }
}

// A file dropped on the left half is file 1, on the right half file 2.
void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    const int f = event->position().x() < width() / 2.0 ? 0 : 1;
    workflow_->importPath(f, urls.front().toLocalFile());
}

} // namespace quendrix
