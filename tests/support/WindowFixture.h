#pragma once

#include "ScriptedDialogService.h"
#include "TestFiles.h"
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
#include <QTest>

#include <cstring>
#include <functional>

inline void PrintTo(const QColor& c, std::ostream* os) {
    *os << c.name().toStdString();
}
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace quendrix::test {

using Widgets = std::vector<QWidget*>;

inline const QString CalibrationCsv = QStringLiteral(QUENDRIX_EXAMPLES "/calibration.csv");
inline const QString ErrorCsv = QStringLiteral(QUENDRIX_EXAMPLES "/error.csv");

// Pixel queries render at 402 px, where a grid cell is two pixels wide.
inline const QSize Px(402, 402);
inline const QColor White(255, 255, 255), Black(0, 0, 0), Red(255, 0, 0), Blue(0, 0, 255);
inline const QColor Stamp(255, 0, 255);

/// What a widget shows, one unblended pixel per logical pixel at any screen scale.
inline QImage grabbed(QWidget* widget) {
    return widget->grab().toImage().scaled(widget->size(), Qt::IgnoreAspectRatio,
                                           Qt::FastTransformation);
}

/// The widgets' texts, joined by "|".
template <class... Widgets> std::string text(const Widgets*... widgets) {
    return QStringList{widgets->text()...}.join(QLatin1Char('|')).toStdString();
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
    /// The active window once it is a T; null when none became active.
    template <class T> static T* active() {
        T* t = nullptr;
        const auto found = [&] { return (t = qobject_cast<T*>(QApplication::activeWindow())); };
        return QTest::qWaitFor(found) ? t : nullptr;
    }
    static QRect inWindow(const QWidget* widget) {
        return {widget->mapTo(widget->window(), QPoint(0, 0)), widget->size()};
    }

    ControlPanel& c() { return w.controls(); }
    ui::FigureSurface& fig(int n) { return *w.figures().figure(n); }
    const StageMatrix& m() { return w.session().matrix(); }
    SessionState& state() { return w.session().state(); }
    std::string status() { return w.workflow().status().text().toStdString(); }
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
    void importBoth() {
        import(0, CalibrationCsv);
        import(1, ErrorCsv);
    }
    void runAll() {
        importBoth();
        click(c().run.start);
    }
    /// Types into a range box as a user does, then `then`; leaving the box or Return commits it.
    void typeRange(QLineEdit* box, const QString& text, Qt::Key then = Qt::Key_unknown) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        if (then != Qt::Key_unknown) {
            QTest::keyClick(box, then);
        }
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

    /// Whether Fig.n shows what the figure code draws from the session now, scatter figures on
    /// 0..hi, the fitting line and overlays as their boxes say (colours are the figure tests').
    bool showsSession(int n, double hi = 40) {
        ui::FigureScene scene;
        if (n <= 2) {
            drawSessionScatter(scene, w.session(), n - 1, 0, hi);
            if (n == 2 && c().model.showFittingLine->isChecked()) {
                drawSessionFittingLine(scene, w.session(), 0, hi);
            }
        } else {
            drawSessionStage(scene, w.session(), n - 3);
        }
        if (n == 7 && drawn(8)) {
            drawMaskedProbability(scene, m(), state().colour);
        }
        if (n == 8) {
            drawSessionOverlays(scene, w.session(), c().coefficients.showMode->isChecked(),
                                c().coefficients.showAverage->isChecked());
        }
        return scene.render(Px) == fig(n).render(Px);
    }

    /// Each of `all` inside `within` (in window coordinates) if given, at least at its minimum
    /// size, its text whole if a label, and clear of the others.
    static void expectUsable(const std::vector<QWidget*>& all, const QRect& within = {}) {
        const auto name = [](const QWidget* widget) {
            return std::string(widget->metaObject()->className()) + " \"" +
                   widget->property("text").toString().toStdString() + "\"";
        };
        for (size_t i = 0; i < all.size(); ++i) {
            const QRect r = inWindow(all[i]);
            const std::string n = name(all[i]);
            EXPECT_TRUE(within.isNull() || within.contains(r)) << n;
            EXPECT_GE(r.width(), all[i]->minimumSizeHint().width()) << n;
            EXPECT_GE(r.height(), all[i]->minimumSizeHint().height()) << n;
            if (auto* label = qobject_cast<QLabel*>(all[i])) {
                EXPECT_GE(r.width(), label->fontMetrics().horizontalAdvance(label->text())) << n;
            }
            for (size_t j = i + 1; j < all.size(); ++j) {
                EXPECT_FALSE(r.intersects(inWindow(all[j]))) << n << " and " << name(all[j]);
            }
        }
    }

    /// A file of `bytes` in the test's own folder, and the path of `name` there.
    QString file(const std::string& name, const std::string& bytes) {
        return QString::fromStdString(dir.file(name, bytes));
    }
    QString path(const std::string& name) {
        return QString::fromStdString((dir.path / name).string());
    }

    TempDir dir{"quendrix-window"};
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
