#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QBoxLayout;

namespace quendrix {

/// A label that reports clicks and double clicks (the coefficient captions open their dialogs).
class ClickableLabel;

/// The main window's controls beside the figures, named as the program's workflow names them.
/// The panel only builds and lays them out; the workflow gives them their behaviour.
class ControlPanel : public QWidget {
    Q_OBJECT
  public:
    explicit ControlPanel(QWidget* parent = nullptr);

    std::array<QPushButton*, 2> command1{}; ///< "Import data" for file 1 and file 2
    std::array<QLabel*, 2> label12{};       ///< N1, N2
    std::array<QLabel*, 2> label13{};       ///< R1, R2
    std::array<QLabel*, 2> label14{};       ///< X column names
    std::array<QLabel*, 2> label15{};       ///< Y column names
    std::array<QLabel*, 2> label21{};       ///< file paths
    QLabel* label17 = nullptr;              ///< fitting line of file 2
    QLabel* label19 = nullptr;              ///< standard deviation of file 2
    QCheckBox* check1 = nullptr;            ///< "Show fitting line"
    QCheckBox* check4 = nullptr;            ///< "Generate model"
    QSlider* slider4 = nullptr;             ///< model standard deviation, % of range
    QLabel* label22 = nullptr;              ///< "Std.Dev.: 5 % of range"
    QLineEdit* text1 = nullptr;             ///< lower bound of the range
    QLineEdit* text2 = nullptr;             ///< upper bound of the range
    QSlider* slider3 = nullptr;             ///< smoothing level
    QLabel* label7 = nullptr;
    QSlider* slider5 = nullptr; ///< vertical threshold
    QLabel* label23 = nullptr;
    QSlider* slider6 = nullptr; ///< horizontal threshold
    QLabel* label24 = nullptr;
    QCheckBox* check5 = nullptr;                  ///< "Skip"
    std::array<QSlider*, 2> coefficientSliders{}; ///< Slider1, Slider2 (tenths of a per cent)
    std::array<ClickableLabel*, 2> label4{};      ///< the coefficients as typed text
    QCheckBox* check2 = nullptr;                  ///< "Show mode"
    QCheckBox* check6 = nullptr;                  ///< "Show ave."
    QPushButton* command3 = nullptr;              ///< "Start"
    QPushButton* command10 = nullptr;             ///< "Quit"
    QProgressBar* progressBar1 = nullptr;

    /// Puts "Start" beside the model slider while the generated model stands in for file 2, and
    /// back under the settings otherwise.
    void placeStartButton(bool modelMode);

  private:
    QBoxLayout* startHomeLayout_ = nullptr;
    QBoxLayout* startModelLayout_ = nullptr;
};

class ClickableLabel : public QWidget {
    Q_OBJECT
  public:
    explicit ClickableLabel(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const;

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QLabel* label_;
};

} // namespace quendrix
