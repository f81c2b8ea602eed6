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
    static std::string name(const QWidget* widget) {
        return std::string(widget->metaObject()->className()) + " \"" +
               widget->property("text").toString().toStdString() + "\"";
    }
    /// Every control and caption (the panel's visible widgets that hold no visible widget) at
    /// least at its own minimum size, and no two on top of each other.
    void expectControlsUsable() {
        std::vector<QWidget*> all;
        for (QWidget* widget : c().findChildren<QWidget*>()) {
            const auto inside = widget->findChildren<QWidget*>();
            if (widget->isVisibleTo(&w) &&
                std::none_of(inside.begin(), inside.end(),
                             [&](QWidget* child) { return child->isVisibleTo(&w); })) {
                all.push_back(widget);
            }
        }
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
    /// The side of the figures, after checking that all are square and in their boxes, and the
    /// panel in the window (or what it scrolls) and clear of the controls; the boxes' places
    /// are the figure grid's.
    int expectFiguresSquare() {
        const QRect panel = inWindow(&w.figures());
        EXPECT_TRUE(inWindow(windowScroll()->widget()).contains(panel));
        EXPECT_FALSE(panel.intersects(inWindow(controlArea())));
        const int side = fig(1).width();
        for (int n = 1; n <= 8; ++n) {
            EXPECT_EQ(fig(n).size(), QSize(side, side)) << n;
            EXPECT_TRUE(inWindow(w.figures().box(n)).contains(inWindow(&fig(n)))) << n;
        }
        return side;
    }
    QScrollArea* controlArea() {
        return w.findChild<QScrollArea*>(QStringLiteral("ControlScroll"));
    }
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
    EXPECT_EQ(controlArea()->verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(windowScrolls());
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

    // Smaller than the controls (1600x1000 at scale 2): the panel scrolls, the figures shrink.
    resizeTo({800, 500});
    EXPECT_GT(controlArea()->verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(windowScrolls());
    expectControlsUsable();
    const int smaller = expectFiguresSquare();
    EXPECT_LT(smaller, small);

    // Below the window's minimum, as some window managers leave it: the whole window scrolls.
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
    EXPECT_TRUE(shown->shownText().endsWith(QStringLiteral("/long-named-calibration-samples.csv")))
        << shown->shownText().toStdString();
    EXPECT_LE(shown->fontMetrics().horizontalAdvance(shown->shownText()), shown->width());
    EXPECT_EQ(shown->toolTip(), path);
    // The column name loses its end.
    const ui::ElidedLabel* x = c().file[0].xName;
    EXPECT_TRUE(QString::fromStdString(xName).startsWith(x->shownText().chopped(1)));
    EXPECT_EQ(x->toolTip().toStdString(), xName);
}

} // namespace
} // namespace quendrix::test
