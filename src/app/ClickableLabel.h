#pragma once

#include <QFrame>

namespace quendrix {

namespace ui {
class ElidedLabel;
}

/// A coefficient caption that reports clicks, double clicks and Return or Space while it has the
/// focus (each opens its dialog); a "%" follows the number, which is underlined as a hint that
/// it can be typed.
class ClickableLabel : public QFrame {
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
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    ui::ElidedLabel* label_;
};

} // namespace quendrix
