#pragma once

#include "ScriptedDialogService.h"
#include "app/ClickableLabel.h"
#include "app/ControlPanel.h"
#include "app/FigureBox.h"
#include "app/FigurePanel.h"
#include "app/MainWindow.h"
#include "app/Workflow.h"
#include "figures/SessionFigures.h"
#include "figures/StageFigures.h"
#include "ui/ElidedLabel.h"
#include "ui/FigureSurface.h"
#include "ui/FormUnits.h"

#include <array>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>

#include <cstring>
#include <functional>
#include <string>

inline void PrintTo(const QColor& c, std::ostream* os) {
    *os << c.name().toStdString();
}

namespace quendrix::test {

inline const QString CalibrationCsv = QStringLiteral(QUENDRIX_EXAMPLES "/calibration.csv");
inline const QString ErrorCsv = QStringLiteral(QUENDRIX_EXAMPLES "/error.csv");

// Pixel queries render at 402 px, where a grid cell is two pixels wide.
inline const QSize Px(402, 402);
inline const QColor White(255, 255, 255), Black(0, 0, 0), Red(255, 0, 0), Blue(0, 0, 255);
inline const QColor Stamp(255, 0, 255);

/// What a widget shows, one pixel per logical pixel whatever the screen's scale (each pixel taken
/// from its block, not blended), so that widget coordinates index it.
inline QImage grabbed(QWidget* widget) {
    const QImage shot = widget->grab().toImage();
    return shot.size() == widget->size()
               ? shot
               : shot.scaled(widget->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

template <class Widget> std::string text(const Widget* widget) {
    return widget->text().toStdString();
}

/// The main window on the offscreen platform, shown and active so that focus changes arrive.
class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        w.show();
        ASSERT_TRUE(activate(&w));
    }

    /// Makes `window` the active one, as a click on it does; false when it never became so.
    static bool activate(QWidget* window) {
        window->activateWindow();
        return QTest::qWaitFor([&] { return QApplication::activeWindow() == window; });
    }

    ControlPanel& c() { return w.controls(); }
    ui::FigureSurface& fig(int n) { return *w.figures().figure(n); }
    const StageMatrix& m() { return w.session().matrix(); }
    bool drawn(int n) { return w.workflow().figures().drawn(n); }

    void click(QWidget* widget) {
        // Check boxes take clicks on their indicator, at the left edge.
        const QPoint at = qobject_cast<QCheckBox*>(widget) ? QPoint(6, widget->height() / 2)
                                                           : widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        QApplication::processEvents();
    }
    void import(int f, const QString& path) {
        dialogs.answerFile(path);
        click(c().file[size_t(f)].importButton);
    }
    void runAll() {
        import(0, CalibrationCsv);
        import(1, ErrorCsv);
        click(c().run.start);
    }
    /// Types into a range box as a user does; leaving the box checks and commits the range.
    void typeRange(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    /// Keeps every figure's drawing revision and a copy of the matrix.
    void mark() {
        for (int n = 1; n <= 8; ++n) {
            marked[size_t(n - 1)] = fig(n).revision();
        }
        before = m();
    }
    enum Which { Drawn, Enabled, Redrawn };
    /// The figures drawn, enabled or redrawn (or cleared) since mark(), e.g. "5678".
    std::string figures(Which which) {
        std::string out;
        for (int n = 1; n <= 8; ++n) {
            if (which == Drawn     ? drawn(n)
                : which == Enabled ? fig(n).isEnabled()
                                   : fig(n).revision() != marked[size_t(n - 1)]) {
                out += char('0' + n);
            }
        }
        return out;
    }
    /// The fields whose bits differ from mark(), e.g. "Prob Confi".
    std::string changed() {
        static const char* const names[] = {"Samples",  "Model", "Discrete", "Kernel",
                                            "Smoothed", "NormH", "Prob",     "Confi"};
        std::string out;
        for (int f = 0; f < FieldCount; ++f) {
            if (std::memcmp(m().plane(Field(f)).data(), before.plane(Field(f)).data(),
                            sizeof(StageMatrix::Plane)) != 0) {
                out.append(out.empty() ? "" : " ").append(names[f]);
            }
        }
        return out;
    }

    /// Whether stage figure n (3..8) shows what the figure code draws from the session now, the
    /// overlays as the boxes say: the figures' colours are the figure tests' business,
    /// following the session is the window's.
    bool showsSessionStage(int n) {
        ui::FigureScene scene;
        drawSessionStage(scene, w.session(), n - 3);
        if (n == 7 && drawn(8)) {
            drawMaskedProbability(scene, m(), w.session().state().colour);
        }
        if (n == 8) {
            drawSessionOverlays(scene, w.session(), c().coefficients.showMode->isChecked(),
                                c().coefficients.showAverage->isChecked());
        }
        return scene.render(Px) == fig(n).render(Px);
    }
    /// Whether scatter figure n (1, 2) shows what the figure code draws from the session on the
    /// range 0..hi, file 2's fitting line as the box says.
    bool showsSessionScatter(int n, double hi) {
        ui::FigureScene scene;
        drawSessionScatter(scene, w.session(), n - 1, 0, hi);
        if (n == 2 && c().model.showFittingLine->isChecked()) {
            drawSessionFittingLine(scene, w.session(), 0, hi);
        }
        return scene.render(Px) == fig(n).render(Px);
    }

    ui::ScriptedDialogService dialogs;
    MainWindow w{dialogs};
    StageMatrix before;
    std::array<std::uint64_t, 8> marked{};

    /// What surface `s` shows, pixel for pixel at the screen's density.
    static QImage surfacePicture(const ui::FigureSurface& s) {
        return s.render(s.contentsRect().size(), s.devicePixelRatioF())
            .convertToFormat(QImage::Format_RGB32);
    }
    /// The clipboard's picture after `copy`, which must replace the text the clipboard held.
    static QImage clipboardPictureAfter(const std::function<void()>& copy) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("before"));
        copy();
        EXPECT_FALSE(clipboard->mimeData()->hasText());
        return clipboard->image().convertToFormat(QImage::Format_RGB32);
    }
};

} // namespace quendrix::test
