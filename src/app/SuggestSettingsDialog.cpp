#include "app/SuggestSettingsDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quendrix {
namespace {

std::vector<int> distinct(std::vector<int> values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

QColor blend(const QColor& from, const QColor& to, double t) {
    auto mix = [t](int a, int b) { return int(a + (b - a) * t + 0.5); };
    return {mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue())};
}

QString percentText(const std::optional<double>& share) {
    return share ? QString::number(*share, 'f', 1) + QStringLiteral(" %") : QStringLiteral("-");
}

QString settingText(const TrialScore& t) {
    QString s = QStringLiteral("smoothing %1 %").arg(t.smoothing);
    if (t.modelPercent != 0) {
        s += QStringLiteral(", model Std. Dev. %1 % of range").arg(t.modelPercent);
    }
    return s + QStringLiteral(", thresholds %1 and %2 sample(s)")
                   .arg(t.verticalThreshold)
                   .arg(t.horizontalThreshold);
}

} // namespace

ScoreMap::ScoreMap(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ScoreMap"));
    setMinimumSize(300, 160);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ScoreMap::setResult(const TuningResult* result) {
    result_ = result;
    across_.clear();
    up_.clear();
    cells_.clear();
    if (result_) {
        const TrialScore& best = result_->recommended();
        const bool model = best.modelPercent != 0;
        // The slice through the recommendation: smoothing against the model's deviation, or
        // against the horizontal threshold at the recommended vertical one.
        auto inSlice = [&](const TrialScore& t) {
            return t.verticalThreshold == best.verticalThreshold &&
                   (!model || t.horizontalThreshold == best.horizontalThreshold);
        };
        std::vector<int> across;
        std::vector<int> up;
        for (const TrialScore& t : result_->trials) {
            if (inSlice(t)) {
                across.push_back(t.smoothing);
                up.push_back(model ? t.modelPercent : t.horizontalThreshold);
            }
        }
        across_ = distinct(across);
        up_ = distinct(up);
        cells_.assign(across_.size() * up_.size(), nullptr);
        rank_.assign(cells_.size(), 0.0);
        std::vector<size_t> usable;
        for (const TrialScore& t : result_->trials) {
            if (!inSlice(t)) {
                continue;
            }
            const auto c = std::lower_bound(across_.begin(), across_.end(), t.smoothing);
            const auto r = std::lower_bound(up_.begin(), up_.end(),
                                            model ? t.modelPercent : t.horizontalThreshold);
            const size_t k = size_t(r - up_.begin()) * across_.size() + size_t(c - across_.begin());
            cells_[k] = &t;
            if (t.usable) {
                usable.push_back(k);
            }
        }
        // By rank rather than by value, since a few settings far below the rest would leave
        // the others one shade; within the tolerance and outside it apart, so that the
        // recommendation is the darkest green.
        for (const bool within : {true, false}) {
            std::vector<size_t> group;
            std::copy_if(usable.begin(), usable.end(), std::back_inserter(group),
                         [&](size_t k) { return cells_[k]->withinTolerance == within; });
            std::stable_sort(group.begin(), group.end(), [this](size_t a, size_t b) {
                return cells_[a]->logScore < cells_[b]->logScore;
            });
            for (size_t i = 0; i < group.size(); ++i) {
                rank_[group[i]] = group.size() > 1 ? double(i) / double(group.size() - 1) : 1.0;
            }
        }
    }
    update();
}

const TrialScore* ScoreMap::trialAt(int column, int row) const {
    if (column < 0 || row < 0 || column >= columns() || row >= rows()) {
        return nullptr;
    }
    return cells_[size_t(row) * across_.size() + size_t(column)];
}

QPoint ScoreMap::recommendedCell() const {
    for (int r = 0; r < rows(); ++r) {
        for (int c = 0; c < columns(); ++c) {
            if (trialAt(c, r) == &result_->recommended()) {
                return {c, r};
            }
        }
    }
    return {-1, -1};
}

QColor ScoreMap::cellColour(int column, int row) const {
    const TrialScore* t = trialAt(column, row);
    if (!t || !t->usable) {
        return Qt::white;
    }
    const double share = rank_[size_t(row) * across_.size() + size_t(column)];
    return t->withinTolerance ? blend(QColor(225, 245, 225), QColor(0, 100, 0), share)
                              : blend(QColor(240, 240, 240), QColor(110, 110, 110), share);
}

void ScoreMap::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    if (columns() == 0 || rows() == 0) {
        return;
    }
    const QFontMetrics fm = fontMetrics();
    const int left = fm.horizontalAdvance(QStringLiteral("000")) + 8;
    const int top = fm.height() + 6;
    const int bottom = 2 * fm.height() + 8;
    // Square cells, as large as the room allows, the plot in the middle.
    const double side =
        std::min(double(width() - left - 8) / columns(), double(height() - top - bottom) / rows());
    if (side <= 0) {
        return;
    }
    const int plotWidth = int(side * columns());
    const int plotHeight = int(side * rows());
    const QRect plot(left + (width() - left - 8 - plotWidth) / 2,
                     top + (height() - top - bottom - plotHeight) / 2, plotWidth, plotHeight);
    auto cell = [&](int c, int r) {
        return QRectF(plot.left() + c * side, plot.bottom() + 1 - (r + 1) * side, side, side);
    };
    for (int r = 0; r < rows(); ++r) {
        for (int c = 0; c < columns(); ++c) {
            p.fillRect(cell(c, r), cellColour(c, r));
        }
    }
    p.setPen(palette().text().color());
    p.drawRect(plot.adjusted(0, 0, -1, -1));
    // As many tick labels as there is room for.
    const int everyAcross =
        std::max(1, int(fm.horizontalAdvance(QStringLiteral("00 ")) / side) + 1);
    for (int c = 0; c < columns(); c += everyAcross) {
        const QRectF at = cell(c, 0);
        p.drawText(QRectF(at.left() - 10, plot.bottom() + 2, at.width() + 20, fm.height()),
                   Qt::AlignHCenter, QString::number(across_[size_t(c)]));
    }
    const int everyUp = std::max(1, int(fm.height() / side) + 1);
    for (int r = 0; r < rows(); r += everyUp) {
        const QRectF at = cell(0, r);
        p.drawText(QRectF(0, at.top(), plot.left() - 4, at.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(up_[size_t(r)]));
    }
    const TrialScore& recommended = result_->recommended();
    p.drawText(QRect(plot.left(), plot.bottom() + fm.height() + 4, plot.width(), fm.height()),
               Qt::AlignHCenter, QStringLiteral("Smoothing level (%)"));
    p.drawText(QRect(0, plot.top() - fm.height() - 4, width(), fm.height()), Qt::AlignLeft,
               recommended.modelPercent != 0
                   ? QStringLiteral("Model Std. Dev. (% of range)")
                   : QStringLiteral("Horizontal threshold (samples), at vertical threshold %1")
                         .arg(recommended.verticalThreshold));
    const QPoint best = recommendedCell();
    p.setPen(QPen(QColor(255, 0, 0), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(cell(best.x(), best.y()).adjusted(1.5, 1.5, -1.5, -1.5));
}

SuggestSettingsDialog::SuggestSettingsDialog(QWidget* parent)
    : QDialog(parent), heading_(new QLabel(this)), progressBar_(new QProgressBar(this)),
      map_(new ScoreMap(this)), summary_(new QLabel(this)),
      use_(new QPushButton(QStringLiteral("&Use these settings"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)),
      close_(new QPushButton(QStringLiteral("Close"), this)) {
    setObjectName(QStringLiteral("SuggestSettings"));
    setWindowTitle(QStringLiteral("Suggest settings"));
    // The search reads a snapshot of the session; nothing may change it meanwhile.
    setWindowModality(Qt::WindowModal);
    heading_->setWordWrap(true);
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    use_->setObjectName(QStringLiteral("UseSettings"));
    cancel_->setObjectName(QStringLiteral("CancelSearch"));
    auto* running = new QHBoxLayout;
    running->addWidget(progressBar_, 1);
    running->addWidget(cancel_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(use_, QDialogButtonBox::AcceptRole);
    buttons->addButton(close_, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addLayout(running);
    layout->addWidget(map_, 1);
    layout->addWidget(summary_);
    layout->addWidget(buttons);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (progress_) {
            progress_->cancel = true;
        }
    });
    connect(use_, &QPushButton::clicked, this, [this] {
        if (outcome_ && *outcome_) {
            emit useSettings(outcome_->value().recommended());
            accept();
        }
    });
    connect(close_, &QPushButton::clicked, this, &SuggestSettingsDialog::reject);
    connect(&timer_, &QTimer::timeout, this, &SuggestSettingsDialog::poll);
}

SuggestSettingsDialog::~SuggestSettingsDialog() {
    stop();
}

void SuggestSettingsDialog::search(TuningProblem problem, TuningOptions options) {
    stop();
    map_->setResult(nullptr);
    outcome_.reset();
    pending_.reset();
    const SearchGrid grid = defaultSearchGrid(problem);
    const int settings = settingCount(grid);
    heading_->setText(
        QStringLiteral("Cross-validating %1 settings: file 1's %2 complete records in %3 folds, "
                       "each held out once while the others calibrate.")
            .arg(settings)
            .arg(problem.samples.completeCount)
            .arg(options.folds));
    summary_->setText(QStringLiteral("Searching..."));
    progressBar_->setRange(0, settings * options.folds);
    progressBar_->setValue(0);
    progressBar_->show();
    cancel_->show();
    cancel_->setEnabled(true);
    use_->setEnabled(false);
    progress_ = std::make_unique<TuningProgress>();
    ended_ = false;
    worker_ = std::thread(
        [this, problem = std::move(problem), grid, options, progress = progress_.get()] {
            pending_.emplace(tuneSettings(problem, grid, options, progress));
            ended_ = true;
        });
    timer_.start(50);
    show();
    raise();
    activateWindow();
    cancel_->setFocus();
}

void SuggestSettingsDialog::poll() {
    if (!progress_) {
        return;
    }
    progressBar_->setValue(progress_->done);
    if (ended_) {
        finish();
    }
}

void SuggestSettingsDialog::waitForSearch() {
    if (searching()) {
        finish();
    }
}

void SuggestSettingsDialog::finish() {
    if (worker_.joinable()) {
        worker_.join();
    }
    timer_.stop();
    progressBar_->hide();
    cancel_->hide();
    outcome_ = std::move(pending_);
    pending_.reset();
    if (!outcome_) {
        return;
    }
    if (!*outcome_) {
        summary_->setText(QStringLiteral("No settings were suggested: %1")
                              .arg(QString::fromStdString(outcome_->reason())));
        adjustSize();
        close_->setFocus();
        return;
    }
    const TuningResult& r = outcome_->value();
    map_->setResult(&r);
    const TrialScore& t = r.recommended();
    const QString tolerance = QString::number(r.tolerance);
    QString text = r.toleranceMet()
                       ? QStringLiteral("Recommended, the best log score within %1 points of both "
                                        "coefficients: %2.")
                             .arg(tolerance, settingText(t))
                       : QStringLiteral("No setting holds both regions within %1 points of their "
                                        "coefficients; the best log score: %2.")
                             .arg(tolerance, settingText(t));
    text += QStringLiteral("\nHeld-out coverage: %1 in the %2 % region, %3 in the %4 % region; "
                           "log score %5")
                .arg(percentText(t.narrowCoverage()), QString::number(r.narrowCoefficient),
                     percentText(t.wideCoverage()), QString::number(r.wideCoefficient),
                     QString::number(t.logScore, 'f', 3));
    if (t.atFloor > 0) {
        text += QStringLiteral(" (%1 pair(s) at the floor)").arg(t.atFloor);
    }
    summary_->setText(text + QLatin1Char('.'));
    // The heading's room explains the map once it is there.
    heading_->setText(
        QStringLiteral("Log score of %1 settings in %2 folds: darker green is better, "
                       "grey misses the tolerance, the ring marks the "
                       "recommendation.")
            .arg(r.trials.size())
            .arg(r.folds));
    // The summary's lines wrap only now: the dialog grows to keep them clear of the map.
    adjustSize();
    use_->setEnabled(true);
    use_->setDefault(true);
    use_->setFocus();
}

QString SuggestSettingsDialog::summary() const {
    return summary_->text();
}

void SuggestSettingsDialog::stop() {
    if (progress_) {
        progress_->cancel = true;
    }
    if (worker_.joinable()) {
        worker_.join();
    }
    timer_.stop();
}

void SuggestSettingsDialog::reject() {
    if (searching()) {
        stop();
        finish();
    }
    QDialog::reject();
}

} // namespace quendrix
