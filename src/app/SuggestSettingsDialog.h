#pragma once

#include "tuning/SettingsSearch.h"

#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;

namespace quendrix {

/// The search's log score over the grid it searched: smoothing across, the model's deviation
/// (or, with file 2's model, the horizontal threshold at the recommended vertical one) up, in
/// square cells. The better a setting's rank by score the darker its green; settings whose
/// coverage misses the tolerance are grey; the recommended one is ringed.
class ScoreMap : public QWidget {
    Q_OBJECT
  public:
    explicit ScoreMap(QWidget* parent);

    void setResult(const TuningResult* result);
    /// The trial drawn in cell (column, row), row 0 at the bottom; none where nothing is.
    const TrialScore* trialAt(int column, int row) const;
    int columns() const { return int(across_.size()); }
    int rows() const { return int(up_.size()); }
    /// The recommended trial's cell.
    QPoint recommendedCell() const;
    /// The colour cell (column, row) is filled with.
    QColor cellColour(int column, int row) const;
    QSize sizeHint() const override { return {420, 360}; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    const TuningResult* result_ = nullptr;
    std::vector<int> across_;
    std::vector<int> up_;
    std::vector<const TrialScore*> cells_; ///< row-major, row 0 at the bottom
    std::vector<double> rank_;             ///< per cell: 1 for the best score, 0 for the worst
};

/// "Suggest settings": runs the settings search on a thread of its own with a progress bar and
/// a Cancel button, then shows the score over the searched grid and the recommendation's
/// held-out coverage; "Use these settings" hands the recommendation on.
class SuggestSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SuggestSettingsDialog(QWidget* parent);
    ~SuggestSettingsDialog() override;

    /// Starts the search of `problem` with the default grid and shows the dialog.
    void search(TuningProblem problem, TuningOptions options = {});
    bool searching() const { return worker_.joinable(); }
    /// Returns once the search has ended and its result is shown.
    void waitForSearch();
    /// The last search's outcome, once it has ended.
    const std::optional<Result<TuningResult>>& outcome() const { return outcome_; }
    QPushButton* useButton() const { return use_; }
    QPushButton* cancelButton() const { return cancel_; }
    QProgressBar* progress() const { return progressBar_; }
    ScoreMap* map() const { return map_; }
    QString summary() const;

  signals:
    void useSettings(const TrialScore& trial);

  protected:
    void reject() override;

  private:
    void poll();
    void finish();
    void stop();

    QLabel* heading_;
    QProgressBar* progressBar_;
    ScoreMap* map_;
    QLabel* summary_;
    QPushButton* use_;
    QPushButton* cancel_;
    QPushButton* close_;
    QTimer timer_;
    std::unique_ptr<TuningProgress> progress_;
    std::thread worker_;
    std::atomic<bool> ended_{false}; ///< the worker has written `pending_`
    std::optional<Result<TuningResult>> outcome_;
    std::optional<Result<TuningResult>> pending_; ///< written by the worker, read after join
};

} // namespace quendrix
