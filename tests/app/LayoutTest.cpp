#include "TestFiles.h"
#include "WindowFixture.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QWindow>

#include <map>

namespace quendrix::test {
namespace {

class LayoutTest : public WindowFixture {
  protected:
    void resizeTo(QSize size) {
        w.resize(size);
        QApplication::processEvents();
        ASSERT_EQ(w.size(), size);
    }
    QRect inWindow(const QWidget* widget) {
        return {widget->mapTo(&w, QPoint(0, 0)), widget->size()};
    }
    /// The panel's visible widgets that hold no visible widget: every control and caption.
    std::vector<QWidget*> leaves() {
        std::vector<QWidget*> out;
        for (QWidget* widget : c().findChildren<QWidget*>()) {
            const auto children = widget->findChildren<QWidget*>();
            const bool leaf = std::none_of(children.begin(), children.end(),
                                           [&](QWidget* child) { return child->isVisibleTo(&w); });
            if (widget->isVisibleTo(&w) && leaf) {
                out.push_back(widget);
            }
        }
        return out;
    }
    static std::string name(const QWidget* widget) {
        return std::string(widget->metaObject()->className()) + " \"" +
               widget->property("text").toString().toStdString() + "\"";
    }
    /// Every control at least at its own minimum size, and no two on top of each other.
    void expectControlsUsable() {
        const std::vector<QWidget*> all = leaves();
        ASSERT_GT(all.size(), 40u);
        for (size_t i = 0; i < all.size(); ++i) {
            const QSize minimum = all[i]->minimumSizeHint();
            EXPECT_GE(all[i]->width(), minimum.width()) << name(all[i]);
            EXPECT_GE(all[i]->height(), minimum.height()) << name(all[i]);
            for (size_t j = i + 1; j < all.size(); ++j) {
                EXPECT_FALSE(inWindow(all[i]).intersects(inWindow(all[j])))
                    << name(all[i]) << " overlaps " << name(all[j]);
            }
        }
    }
    /// The side of the figures, after checking that all are square, apart, in the window (or
    /// what it scrolls) and clear of the controls.
    int expectFiguresSquare() {
        const QRect panel = inWindow(&w.figures());
        EXPECT_TRUE(inWindow(windowScroll()->widget()).contains(panel));
        EXPECT_FALSE(panel.intersects(inWindow(controlArea())));
        const int side = fig(1).width();
        for (int n = 1; n <= 8; ++n) {
            SCOPED_TRACE(n);
            EXPECT_EQ(fig(n).width(), side);
            EXPECT_EQ(fig(n).height(), side);
            const QRect box = inWindow(w.figures().box(n));
            EXPECT_TRUE(panel.contains(box));
            EXPECT_TRUE(box.contains(inWindow(&fig(n))));
            for (int m = n + 1; m <= 8; ++m) {
                EXPECT_FALSE(box.intersects(inWindow(w.figures().box(m)))) << m;
            }
        }
        return side;
    }
    QScrollArea* controlArea() {
        return w.findChild<QScrollArea*>(QStringLiteral("ControlScroll"));
    }
    QScrollBar* controlScroll() { return controlArea()->verticalScrollBar(); }
    /// What scrolls the whole window when it is smaller than its controls and figures need.
    QScrollArea* windowScroll() {
        return w.findChild<QScrollArea*>(QStringLiteral("WindowScroll"));
    }
    bool windowScrolls() {
        return windowScroll()->horizontalScrollBar()->maximum() > 0 ||
               windowScroll()->verticalScrollBar()->maximum() > 0;
    }
    /// Where every widget of the panel stands, shown or hidden, "Start" apart.
    std::map<QWidget*, QRect> positions() {
        std::map<QWidget*, QRect> out;
        for (QWidget* widget : c().findChildren<QWidget*>()) {
            if (widget != c().run.start && !c().run.start->isAncestorOf(widget)) {
                out[widget] = {widget->mapTo(&c(), QPoint(0, 0)), widget->size()};
            }
        }
        return out;
    }
};

TEST_F(LayoutTest, UsableAt1024x640AndFiguresFollowTheWindow) {
    runAll();
    // Small: everything in view without scrolling, at its own size.
    resizeTo({1024, 640});
    EXPECT_EQ(controlScroll()->maximum(), 0);
    EXPECT_FALSE(windowScrolls());
    const QRect viewport = inWindow(controlArea()->viewport());
    for (QWidget* leaf : leaves()) {
        EXPECT_TRUE(viewport.contains(inWindow(leaf))) << name(leaf);
    }
    expectControlsUsable();
    const int small = expectFiguresSquare();
    EXPECT_GE(small, 120);
    const QSize start = c().run.start->size();

    // Large: the figures grow into the room, the controls keep their size.
    resizeTo({1600, 1000});
    expectControlsUsable();
    const int large = expectFiguresSquare();
    EXPECT_GE(large, small * 3 / 2);
    EXPECT_EQ(c().run.start->size(), start);

    // Smaller than the controls (a 1600x1000 screen at scale 2): the panel scrolls, nothing
    // shrinks or overlaps, and the figures shrink but stay square.
    resizeTo({800, 500});
    EXPECT_GT(controlScroll()->maximum(), 0);
    EXPECT_FALSE(windowScrolls());
    expectControlsUsable();
    const int smaller = expectFiguresSquare();
    EXPECT_LT(smaller, small);
    EXPECT_EQ(c().run.start->size(), start);

    // Smaller than even that, as a window manager that ignores the window's minimum leaves it:
    // the whole window scrolls rather than draw the figures over the controls.
    w.windowHandle()->resize(400, 300);
    QApplication::processEvents();
    ASSERT_EQ(w.size(), QSize(400, 300));
    EXPECT_TRUE(windowScrolls());
    expectControlsUsable();
    EXPECT_LE(expectFiguresSquare(), smaller);
    // What takes the focus scrolls into view.
    for (QWidget* far :
         {static_cast<QWidget*>(c().file[0].importButton), static_cast<QWidget*>(&fig(8))}) {
        far->setFocus();
        EXPECT_TRUE(inWindow(windowScroll()->viewport()).contains(inWindow(far))) << name(far);
    }
    resizeTo({1024, 640}); // and it grows back
    EXPECT_FALSE(windowScrolls());
    EXPECT_EQ(expectFiguresSquare(), small);
}

TEST_F(LayoutTest, ControlsStayWhereTheyAreAndLongTextsAreElided) {
    resizeTo({1024, 640});
    import(0, CalibrationCsv);
    import(1, ErrorCsv);
    const auto before = positions();
    const QPoint home = c().run.start->mapTo(&c(), QPoint(0, 0));
    click(c().model.generateModel);
    ASSERT_TRUE(c().model.modelSlider->isVisible());
    EXPECT_EQ(positions(), before);
    EXPECT_NE(c().run.start->mapTo(&c(), QPoint(0, 0)), home); // the one control that moves
    click(c().model.generateModel);
    EXPECT_EQ(positions(), before);
    EXPECT_EQ(c().run.start->mapTo(&c(), QPoint(0, 0)), home);

    // A deep path and long column names: one line each, elided, the full text in the tool tip.
    TempDir dir("quendrix-layout");
    const std::string folder = "a folder with a name far too long to fit beside the button";
    std::filesystem::create_directories(dir.path / folder);
    const std::string xName = "Concentration measured in the field with the portable meter";
    const QString path = QString::fromStdString(
        dir.file(folder + "/long-named-calibration-samples.csv", xName + ",Y\n1,2\n3,5\n"));
    import(0, path);
    EXPECT_EQ(positions(), before);
    const ui::ElidedLabel* shown = c().file[0].path;
    EXPECT_EQ(shown->text(), path);
    EXPECT_TRUE(shown->shownText().endsWith(QStringLiteral("/long-named-calibration-samples.csv")))
        << shown->shownText().toStdString();
    EXPECT_TRUE(shown->shownText().contains(QStringLiteral("\u2026")));
    EXPECT_LE(shown->fontMetrics().horizontalAdvance(shown->shownText()), shown->width());
    EXPECT_EQ(shown->toolTip(), path);
    const ui::ElidedLabel* x = c().file[0].xName;
    EXPECT_TRUE(x->shownText().endsWith(QStringLiteral("\u2026")));
    EXPECT_TRUE(QString::fromStdString(xName).startsWith(x->shownText().chopped(1)));
    EXPECT_EQ(x->toolTip().toStdString(), xName);
    // A text that fits is shown whole, without a tool tip.
    EXPECT_EQ(c().file[0].yName->shownText(), QStringLiteral("Y"));
    EXPECT_EQ(c().file[0].yName->toolTip(), QString());
}

} // namespace
} // namespace quendrix::test
