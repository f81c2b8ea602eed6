#include "app/ChartWindow.h"

#include "app/IntervalMarks.h"
#include "app/IntervalPanel.h"
#include "app/PointerReadout.h"
#include "app/PrintCommands.h"
#include "app/Remembered.h"
#include "app/ResultSaver.h"
#include "app/StatusLine.h"
#include "session/CalibrationSession.h"
#include "ui/Clipboard.h"
#include "ui/FigureSurface.h"
#include "ui/SliderFocusStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <algorithm>

namespace quendrix {
namespace {

QLabel* label(QWidget* parent, Qt::Alignment alignment) {
    auto* l = new QLabel(parent);
    l->setAlignment(alignment | Qt::AlignVCenter);
    return l;
}

QSlider* slider(QWidget* parent, const QString& name, int maximum) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(0, maximum);
    s->setSingleStep(1);
    s->setPageStep(5);
    // A drag leaves the focus on the slider on every platform, so the arrow keys go on from
    // where the mouse left it.
    s->setFocusPolicy(Qt::StrongFocus);
    return s;
}

ui::FigureSurface* surface(QWidget* parent, const QString& name) {
    auto* s = new ui::FigureSurface(parent);
    s->setObjectName(name);
    // Nothing happens on a click or a key here; the focus stays with the controls.
    s->setFocusPolicy(Qt::NoFocus);
    return s;
}

QAction* item(QMenu* menu, const QString& caption, const QString& name) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

} // namespace

ChartWindow::ChartWindow(CalibrationSession& session, ui::DialogService& dialogs,
                         ResultSaver& saver, PrintCommands& printing, QWidget* mainWindow)
    : QMainWindow(mainWindow, Qt::Window), session_(session), saver_(saver), printing_(printing),
      measurements_(session, dialogs), canvas_(new QWidget(this)) {
    setObjectName(QStringLiteral("frmOutPut2"));
    setWindowTitle(QStringLiteral("Calibration chart"));
    setAttribute(Qt::WA_DeleteOnClose);
    setCentralWidget(canvas_);
    canvas_->installEventFilter(this);
    status_ = std::make_unique<StatusLine>(*statusBar());
    pointer_ = new PointerReadout(*statusBar());
    buildControls();
    presenter_ = std::make_unique<ChartPresenter>(session, c_, dialogs, *this);
    presenter_->onLabelsMoved([this] { placeMovingLabels(); });
    buildMenus();
    connectControls();
}

ChartWindow::~ChartWindow() {
    // Closing deletes the window, so this is where its place is kept.
    if (opened_) {
        remembered::saveWindowPlace(*this, QStringLiteral("Chart"));
    }
}

void ChartWindow::buildControls() {
    QWidget* w = canvas_;
    c_.picture1 = surface(w, QStringLiteral("Picture1"));
    c_.picture2 = surface(w, QStringLiteral("Picture2"));
    c_.picture3 = surface(w, QStringLiteral("Picture3"));
    c_.picture3->setLineWidth(1);
    c_.slider1 = slider(w, QStringLiteral("Slider1"), 100);
    c_.slider2 = slider(w, QStringLiteral("Slider2"), 200);
    c_.label3 = label(w, Qt::AlignHCenter);
    c_.label5 = label(w, Qt::AlignHCenter);
    c_.label4 = label(w, Qt::AlignHCenter);
    for (int k = 0; k < 2; ++k) {
        const Qt::Alignment a = k == 0 ? Qt::AlignRight : Qt::AlignHCenter;
        c_.label1[size_t(k)] = label(w, a);
        c_.label2[size_t(k)] = label(w, a);
    }
    c_.option1[0] = new QRadioButton(QStringLiteral("Probability"), w);
    c_.option1[1] = new QRadioButton(QStringLiteral("Confidence"), w);
    for (QRadioButton* option : c_.option1) {
        option->installEventFilter(this);
    }
    c_.intervalPanel = new IntervalPanel(w);
    c_.intervalMarks = new IntervalMarks(w);
    c_.check4 = new QCheckBox(QStringLiteral("Show average"), w);
    c_.check1 = new QCheckBox(QStringLiteral("Show mode"), w);
    c_.command1 = new QPushButton(QStringLiteral("OK"), w);
    // Reading order: the sliders over the figures, then the column beside them from the top.
    QWidget* const chain[] = {c_.slider1, c_.slider2, c_.option1[0], c_.option1[1],
                              c_.check4,  c_.check1,  c_.command1};
    for (size_t i = 1; i < std::size(chain); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }
    ui::showSliderFocus(this);
}

void ChartWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File(&F)"));
    save_ = item(file, QStringLiteral("&Save Matrix"), QStringLiteral("SaveMatrix"));
    apply_ = item(file, QStringLiteral("&Apply to measurements..."),
                  QStringLiteral("ApplyToMeasurements"));
    file->addSeparator();
    printOptions_ = item(file, QStringLiteral("Print Options"), QStringLiteral("PrintOptions"));
    connect(printOptions_, &QAction::triggered, this, [this] {
        presenter_->printOptionsShown();
        printing_.showPrintOptions();
    });
    print_ = item(file, QStringLiteral("&Print"), QStringLiteral("Print"));
    connect(print_, &QAction::triggered, this,
            [this] { printing_.printChartWindow(this, *status_, printView()); });
    file->addSeparator();
    QAction* exit = item(file, QStringLiteral("E&xit"), QStringLiteral("Exit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edit(&E)"));
    QAction* colours =
        item(edit, QStringLiteral("Colour Setting"), QStringLiteral("ColourSetting"));
    connect(colours, &QAction::triggered, this, &ChartWindow::colourSettingsRequested);
    edit->addSeparator();
    QMenu* copy = edit->addMenu(QStringLiteral("&Copy"));
    const QString copyCaptions[] = {QStringLiteral("&Main figure"), QStringLiteral("Section")};
    for (int n = 1; n <= 2; ++n) {
        QAction* fromEdit = item(copy, copyCaptions[n - 1], QStringLiteral("CopyFig%1").arg(n));
        auto* menu = new QMenu(QStringLiteral("Fig%1").arg(n), this);
        QAction* fromFigure = item(menu, QStringLiteral("Copy"), QStringLiteral("Copy%1").arg(n));
        for (QAction* a : {fromEdit, fromFigure}) {
            connect(a, &QAction::triggered, this, [this, n] { copyFigure(n); });
        }
        figureMenus_[size_t(n - 1)] = menu;
    }
}

void ChartWindow::copyFigure(int n) {
    ui::putPicture((n == 1 ? c_.picture1 : c_.picture2)->image());
}

ChartView ChartWindow::printView() const {
    return {.sectionPercent = c_.slider1->value(),
            .enhancementPercent = c_.slider2->value(),
            .showAverage = c_.check4->isChecked(),
            .showMode = c_.check1->isChecked()};
}

void ChartWindow::connectControls() {
    ChartPresenter* p = presenter_.get();
    for (QRadioButton* option : c_.option1) {
        connect(option, &QRadioButton::toggled, this, [p](bool on) {
            if (on) {
                p->modeChosen();
            }
        });
    }
    for (QCheckBox* box : {c_.check4, c_.check1}) {
        connect(box, &QCheckBox::toggled, this, [p] { p->curvesToggled(); });
    }
    connect(c_.slider1, &QSlider::valueChanged, this, [p] { p->sectionMoved(); });
    connect(c_.slider2, &QSlider::valueChanged, this, [p] { p->enhancementMoved(); });
    connect(c_.command1, &QPushButton::clicked, this, &QWidget::close);
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);
    connect(save_, &QAction::triggered, this, [this] { saver_.save(this, *status_); });
    connect(apply_, &QAction::triggered, this,
            [this] { measurements_.applyToMeasurements(this, *status_); });
    for (int n = 1; n <= 2; ++n) {
        ui::FigureSurface* s = n == 1 ? c_.picture1 : c_.picture2;
        connect(s, &ui::FigureSurface::pressed, this,
                [this, n](Qt::MouseButton button, const QPoint& at) {
                    if (button == Qt::RightButton) {
                        figureMenu(n)->popup(at);
                    }
                });
    }
    connectMainFigure();
}

// The main figure reads out the cell under the pointer, and the section follows the left button
// and the wheel there as it does on its slider.
void ChartWindow::connectMainFigure() {
    ui::FigureSurface* figure = c_.picture1;
    ChartPresenter* p = presenter_.get();
    pointer_->follow(
        figure, [p](const QRectF& area, const QPointF& at) { return p->pointerReading(area, at); });
    connect(figure, &ui::FigureSurface::pressed, this,
            [p, figure](Qt::MouseButton button, const QPoint&, const QPointF& at) {
                if (button == Qt::LeftButton) {
                    p->sectionPointed(QRectF(figure->contentsRect()), at);
                }
            });
    connect(figure, &ui::FigureSurface::mouseMoved, this,
            [p, figure](const QPointF& at, Qt::MouseButtons buttons) {
                if (buttons & Qt::LeftButton) {
                    p->sectionPointed(QRectF(figure->contentsRect()), at);
                }
            });
    // The slider takes the turn itself: its step, direction and any part of a step left over.
    connect(figure, &ui::FigureSurface::wheelTurned, this, [this](QWheelEvent* event) {
        QSlider* slider = c_.slider1;
        const QPointF global = event->globalPosition();
        QWheelEvent turn(slider->mapFromGlobal(global), global, event->pixelDelta(),
                         event->angleDelta(), event->buttons(), event->modifiers(), event->phase(),
                         event->inverted(), event->source(), event->pointingDevice());
        QApplication::sendEvent(slider, &turn);
        event->setAccepted(turn.isAccepted());
    });
}

void ChartWindow::showView(ChartMode mode) {
    if (!opened_) {
        presenter_->open(mode);
        opened_ = true;
        canvas_->setMinimumSize(minimumChartArea(metrics()));
        if (!remembered::restoreWindowPlace(*this, QStringLiteral("Chart"))) {
            placeOnScreen();
        }
        placeControls();
    } else {
        presenter_->reopen(mode);
    }
    // Every section of an empty result reads "Out of range"; say why once, where it is seen.
    if (const std::string empty = session_.emptyResult(); !empty.empty()) {
        status_->show(QStringLiteral("The result is empty: ") + QString::fromStdString(empty));
    }
    show();
    raise();
    activateWindow();
}

// The first opening: as large as the chart wants, and placed near the main window so that the
// whole frame, title bar and status line included, is on its screen.
void ChartWindow::placeOnScreen() {
    const int bars = menuBar()->sizeHint().height() + statusBar()->sizeHint().height();
    QSize preferred = preferredChartArea(metrics()) + QSize(0, bars);
    const QWidget* main = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const QScreen* on = main != nullptr ? main->screen() : screen();
    if (on == nullptr) {
        resize(preferred);
        return;
    }
    // This window's frame is not known before it is shown; the main window's is alike.
    const QSize frameExtra = main != nullptr && main->isVisible()
                                 ? main->frameGeometry().size() - main->geometry().size()
                                 : QSize(0, 0);
    const QRect room = on->availableGeometry();
    resize(preferred.boundedTo(room.size() - frameExtra));
    const QRect frame(main != nullptr ? main->frameGeometry().topLeft() + QPoint(40, 40)
                                      : room.topLeft(),
                      size() + frameExtra);
    move(remembered::insideRoom(frame, room).topLeft());
}

void ChartWindow::coloursChanged() {
    // A change made while this window stays active cannot wait for its next activation.
    if (opened_ && isActiveWindow()) {
        presenter_->activated();
    }
}

bool ChartWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && opened_) {
        presenter_->activated();
    }
    return QMainWindow::event(event);
}

bool ChartWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == canvas_ && event->type() == QEvent::Resize && opened_) {
        placeControls();
    }
    // Tab enters the view options at the view shown, as it does a group of options elsewhere.
    if (event->type() == QEvent::FocusIn &&
        (watched == c_.option1[0] || watched == c_.option1[1])) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        QRadioButton* shown = c_.option1[watched == c_.option1[0] ? 1 : 0];
        if (shown->isChecked() &&
            (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)) {
            shown->setFocus(reason);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

ChartMetrics ChartWindow::metrics() const {
    ChartMetrics m;
    m.line = c_.label3->sizeHint().height();
    m.slider = c_.slider1->sizeHint().height();
    QStyleOptionSlider option;
    option.initFrom(c_.slider1);
    option.orientation = Qt::Horizontal;
    m.sliderHandle = c_.slider1->style()->pixelMetric(QStyle::PM_SliderLength, &option, c_.slider1);
    const QFontMetrics fm = c_.label1[0]->fontMetrics();
    m.yLabelWidth = std::max({fm.horizontalAdvance(c_.label1[0]->text()),
                              fm.horizontalAdvance(c_.label2[0]->text()),
                              fm.horizontalAdvance(QStringLiteral("000"))}) +
                    2 * c_.label1[0]->margin() + 2;
    m.rightWidth =
        std::max({c_.option1[0]->sizeHint().width(), c_.option1[1]->sizeHint().width(),
                  c_.check4->sizeHint().width(), c_.check1->sizeHint().width(),
                  c_.command1->sizeHint().width(), c_.intervalPanel->minimumSizeHint().width()});
    m.option = c_.option1[0]->sizeHint().height();
    m.check = c_.check4->sizeHint().height();
    m.button = c_.command1->sizeHint().height();
    m.panelMinimum = c_.intervalPanel->minimumSizeHint().height();
    return m;
}

void ChartWindow::placeControls() {
    const ChartGeometry& g = geometry_ = layoutChart(canvas_->size(), metrics());
    c_.picture1->setGeometry(g.picture1);
    c_.picture2->setGeometry(g.picture2);
    c_.picture3->setGeometry(g.picture3);
    c_.slider1->setGeometry(g.slider1);
    c_.slider2->setGeometry(g.slider2);
    c_.label2[0]->setGeometry(g.yUpper);
    c_.label1[0]->setGeometry(g.yLower);
    c_.option1[0]->setGeometry(g.option[0]);
    c_.option1[1]->setGeometry(g.option[1]);
    c_.intervalPanel->setGeometry(g.panel);
    c_.check4->setGeometry(g.showAverage);
    c_.check1->setGeometry(g.showMode);
    c_.command1->setGeometry(g.ok);
    c_.intervalMarks->setGeometry(g.marks);
    const QRect rows = c_.picture2->contentsRect();
    c_.intervalMarks->setFrame({0, double(rows.top()), double(rows.height()), g.pixelsPerTwip});
    // The range labels stand centred under the figure's edges, clear of the section.
    const int limit = g.picture2.left() - 4;
    for (const auto& [label, x] : {std::pair{c_.label1[1], g.picture1.left()},
                                   std::pair{c_.label2[1], g.picture1.right() + 1}}) {
        label->setGeometry(g.centred(x, label->sizeHint().width(), g.xLabelRow, 0, limit));
    }
    placeMovingLabels();
}

void ChartWindow::placeMovingLabels() {
    const ChartGeometry& g = geometry_;
    const int section = c_.slider1->value();
    c_.label3->setGeometry(g.sectionLabel(section, c_.label3->sizeHint().width(), g.labelRow));
    c_.label5->setGeometry(g.sectionLabel(section, c_.label5->sizeHint().width(), g.sectionRow));
    c_.label4->setGeometry(g.enhancementLabel(c_.slider2->value(), c_.label4->sizeHint().width()));
}

} // namespace quendrix
