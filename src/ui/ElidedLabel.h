#pragma once

#include <QFrame>
#include <QString>

namespace quendrix::ui {

/// A one-line label that never wraps and never cuts a text without a hint: a text too long for
/// its width is shown elided, with the full text as its tool tip. Paths keep their file name
/// and lose the middle of their folder; names and numbers lose their end.
class ElidedLabel : public QFrame {
    Q_OBJECT
  public:
    enum class Mode { Path, End };

    explicit ElidedLabel(Mode mode, QWidget* parent = nullptr);

    void setText(const QString& text);
    /// The full text.
    QString text() const { return text_; }
    /// The text as it fits the label's width now.
    QString shownText() const;
    void setAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void updateToolTip();

    Mode mode_;
    QString text_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

/// `text` fitted into `width` pixels of `metrics`, elided as `mode` says.
QString elideText(const QString& text, ElidedLabel::Mode mode, const QFontMetrics& metrics,
                  int width);

} // namespace quendrix::ui
