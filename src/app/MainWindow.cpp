#include "app/MainWindow.h"

#include "app/ControlPanel.h"
#include "app/FigurePanel.h"
#include "app/Workflow.h"
#include "ui/FigureSurface.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>

namespace quendrix {

MainWindow::MainWindow(ui::DialogService& dialogs, QWidget* parent)
    : QMainWindow(parent), controls_(new ControlPanel), figures_(new FigurePanel) {
    setWindowTitle(QStringLiteral("Quendrix 3.0"));
    auto* central = new QWidget(this);
    central->setMouseTracking(true);
    central->installEventFilter(this);
    // A click on the background takes the focus, so an edited range box is checked.
    central->setFocusPolicy(Qt::ClickFocus);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(12);
    controls_->setFixedWidth(controls_->sizeHint().width());
    row->addWidget(controls_);
    row->addWidget(figures_, 1);
    setCentralWidget(central);
    statusBar()->setSizeGripEnabled(true);

    workflow_ =
        std::make_unique<Workflow>(session_, *controls_, *figures_, dialogs, *statusBar(), *this);
    buildMenus();
    connectControls();
    workflow_->formLoad();
    resize(1560, 800);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File(&F)"));
    QAction* quit = file->addAction(QStringLiteral("&Quit"));
    quit->setObjectName(QStringLiteral("Quit"));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help(&H)"));
    QAction* about = help->addAction(QStringLiteral("&About Quendrix 3.0"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    connect(about, &QAction::triggered, workflow_.get(), &Workflow::openAboutBox);
}

void MainWindow::connectControls() {
    ControlPanel& c = *controls_;
    Workflow* w = workflow_.get();
    for (int f = 0; f < 2; ++f) {
        connect(c.command1[size_t(f)], &QPushButton::clicked, w, [w, f] { w->readDataFile(f); });
        ui::FigureSurface* scatter = figures_->picture1(f);
        connect(scatter, &ui::FigureSurface::mouseMoved, w, [w, f] { w->scatterHovered(f); });
    }
    for (int k = 0; k < 6; ++k) {
        ui::FigureSurface* surface = figures_->picture2(k);
        connect(surface, &ui::FigureSurface::clicked, w, [w, k](Qt::MouseButton button) {
            if (button == Qt::LeftButton) {
                w->figureClicked(k);
            }
        });
        connect(surface, &ui::FigureSurface::mouseMoved, w, [w, k] { w->figureHovered(k); });
    }
    connect(c.command3, &QPushButton::clicked, w, &Workflow::start);
    connect(c.command10, &QPushButton::clicked, this, &QWidget::close);
    connect(c.text1, &QLineEdit::textChanged, w, &Workflow::rangeTextChanged);
    connect(c.text2, &QLineEdit::textChanged, w, &Workflow::rangeTextChanged);
    c.text1->installEventFilter(this);
    c.text2->installEventFilter(this);
    connect(c.check4, &QCheckBox::clicked, w, &Workflow::generateModelClicked);
    connect(c.slider4, &QSlider::valueChanged, w, &Workflow::modelSliderChanged);
    connect(c.check1, &QCheckBox::clicked, w, &Workflow::showFittingLineClicked);
    connect(c.check5, &QCheckBox::clicked, w, &Workflow::skipClicked);
    connect(c.check2, &QCheckBox::clicked, w, &Workflow::overlayClicked);
    connect(c.check6, &QCheckBox::clicked, w, &Workflow::overlayClicked);
    connect(c.slider3, &QSlider::valueChanged, w, &Workflow::smoothingChanged);
    connect(c.slider5, &QSlider::valueChanged, w, &Workflow::verticalThresholdChanged);
    connect(c.slider6, &QSlider::valueChanged, w, &Workflow::horizontalThresholdChanged);
    for (int k = 0; k < 2; ++k) {
        connect(c.coefficientSliders[size_t(k)], &QSlider::valueChanged, w,
                [w, k](int tenths) { w->coefficientSliderChanged(k, tenths); });
        connect(c.label4[size_t(k)], &ClickableLabel::clicked, w,
                [w, k] { w->openCoefficientDialog(k); });
    }
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        workflow_->activated();
    }
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == controls_->text1 || watched == controls_->text2)) {
        workflow_->rangeEditFinished();
    } else if (event->type() == QEvent::MouseMove && watched == centralWidget()) {
        workflow_->backgroundHovered();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    workflow_->shutDown();
    event->accept();
}

} // namespace quendrix
