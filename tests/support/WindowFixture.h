#pragma once

#include "app/CalibrationSession.h"
#include "app/ControlPanel.h"
#include "app/FigurePanel.h"
#include "app/MainWindow.h"
#include "app/StageFigures.h"
#include "app/Workflow.h"
#include "ui/FigureSurface.h"
#include "ui/ScriptedDialogService.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QColor& c, std::ostream* os) {
    *os << c.name().toStdString();
}

namespace quendrix::test {

inline const QString CalibrationCsv = QStringLiteral(QUENDRIX_EXAMPLES "/calibration.csv");
inline const QString ErrorCsv = QStringLiteral(QUENDRIX_EXAMPLES "/error.csv");

// Pixel queries render at 402 px, where a grid cell is two pixels wide.
inline const QSize Px(402, 402);
inline const QColor White(255, 255, 255);
inline const QColor Stamp(255, 0, 255);

/// A caption or box text, comparable with plain literals.
template <class Widget> std::string text(const Widget* widget) {
    return widget->text().toStdString();
}

/// Figure position of a data point in the range lo..hi.
inline double unitX(double x, double lo, double hi) {
    return (x - lo) * 1875 / (hi - lo);
}
inline double unitY(double y, double lo, double hi) {
    return 1875 - unitX(y, lo, hi);
}

/// The main window on the offscreen platform, shown and active so that focus changes arrive.
class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &w; }));
    }

    ControlPanel& c() { return w.controls(); }
    ui::FigureSurface& fig(int n) { return *w.figures().figure(n); }
    const StageMatrix& m() { return w.session().matrix(); }
    bool drawn(int n) { return w.workflow().drawn(n); }

    void click(QWidget* widget) {
        // Check boxes take clicks on their indicator, at the left edge.
        const QPoint at = qobject_cast<QCheckBox*>(widget) ? QPoint(6, widget->height() / 2)
                                                           : widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        QApplication::processEvents();
    }
    void import(int f, const QString& path) {
        dialogs.answerFile(path);
        click(c().command1[size_t(f)]);
    }
    void importBoth() {
        import(0, CalibrationCsv);
        import(1, ErrorCsv);
    }
    void runAll() {
        importBoth();
        click(c().command3);
        ASSERT_TRUE(drawn(8));
    }
    /// Types into a range box as a user does: click into it, replace its text.
    void typeRange(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    /// Leaves the range box, which checks and commits the range.
    void leaveRange() {
        c().command1[0]->setFocus();
        QApplication::processEvents();
    }

    /// Marks the drawn layer of every figure; redrawing a figure wipes its mark.
    void stamp() {
        for (int n = 1; n <= 8; ++n) {
            fig(n).fillBox(0, 0, 90, 90, Stamp);
        }
    }
    /// The figures redrawn or cleared since stamp(), e.g. "5678".
    std::string redrawn() {
        std::string out;
        for (int n = 1; n <= 8; ++n) {
            if (fig(n).colourAt(45, 45, Px) != Stamp) {
                out += char('0' + n);
            }
        }
        return out;
    }

    std::vector<std::vector<float>> snapshot() {
        std::vector<std::vector<float>> planes;
        for (int f = 0; f < FieldCount; ++f) {
            const auto& p = m().plane(Field(f));
            planes.emplace_back(p.begin(), p.end());
        }
        return planes;
    }
    /// The fields whose bits differ from the snapshot, e.g. "Prob Confi".
    std::string changed(const std::vector<std::vector<float>>& before) {
        static const char* const names[] = {"Samples",  "Model", "Discrete", "Kernel",
                                            "Smoothed", "NormH", "Prob",     "Confi"};
        std::string out;
        for (int f = 0; f < FieldCount; ++f) {
            const auto& p = m().plane(Field(f));
            if (std::memcmp(p.data(), before[size_t(f)].data(), p.size() * sizeof(float)) != 0) {
                if (!out.empty()) {
                    out += ' ';
                }
                out += names[f];
            }
        }
        return out;
    }

    /// Colour of grid cell (i, j) on figure n.
    QColor cellAt(int n, int i, int j) { return fig(n).colourAt(cellX(i), cellY(j), Px); }
    /// Whether `colour` shows within a pixel of user point (x, y): one-pixel lines need not
    /// cover the pixel the point falls in.
    bool near(int n, double x, double y, const QColor& colour) {
        const QImage image = fig(n).render(Px);
        const int px = int(x * Px.width() / 1875);
        const int py = int(y * Px.height() / 1875);
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (image.pixelColor(px + dx, py + dy) == colour) {
                    return true;
                }
            }
        }
        return false;
    }

    ui::ScriptedDialogService dialogs;
    MainWindow w{dialogs};
};

} // namespace quendrix::test
