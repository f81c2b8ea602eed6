#include "WindowFixture.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QWindow>

namespace quendrix::test {
namespace {

class LayoutTest : public WindowFixture {
  protected:
    /// `bySystem`: as the window system resizes, which may go below the window's minimum.
    void resizeTo(QSize size, bool bySystem = false) {
        bySystem ? w.windowHandle()->resize(size) : w.resize(size);
        QApplication::processEvents();
        ASSERT_EQ(w.size(), size);
    }
    /// The figures' side, after checking that the panel's visible leaf widgets are usable, every
    /// figure square in its box, and the panel in what the window scrolls, clear of the controls.
    int expectLaidOut() {
        const auto shown = [&](const QWidget* widget) { return widget->isVisibleTo(&w); };
        std::vector<QWidget*> all;
        for (QWidget* widget : c().findChildren<QWidget*>()) {
            const auto inside = widget->findChildren<QWidget*>();
            if (shown(widget) && std::none_of(inside.begin(), inside.end(), shown)) {
                all.push_back(widget);
            }
        }
        expectUsable(all);
        const QRect panel = inWindow(&w.figures());
        EXPECT_TRUE(inWindow(scroll("WindowScroll")->widget()).contains(panel));
        EXPECT_FALSE(panel.intersects(inWindow(scroll("ControlScroll"))));
        const int side = fig(1).width();
        for (int n = 1; n <= 8; ++n) {
            EXPECT_EQ(fig(n).size(), QSize(side, side)) << n;
            EXPECT_TRUE(inWindow(w.figures().box(n)).contains(inWindow(&fig(n)))) << n;
        }
        return side;
    }
    /// "ControlScroll" scrolls the controls, "WindowScroll" the window smaller than it needs.
    QScrollArea* scroll(const char* name) { return w.findChild<QScrollArea*>(QLatin1String(name)); }
    bool windowScrolls() {
        return scroll("WindowScroll")->horizontalScrollBar()->maximum() > 0 ||
               scroll("WindowScroll")->verticalScrollBar()->maximum() > 0;
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

TEST_F(LayoutTest, UsableAtEverySizeControlsStayWhereTheyAreAndLongTextsAreElided) {
    runAll();
    // Small: everything in view without scrolling, at its own size.
    resizeTo({1024, 640});
    EXPECT_EQ(scroll("ControlScroll")->verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(windowScrolls());
    const int small = expectLaidOut();
    EXPECT_GE(small, 120);
    const QSize start = c().run.start->size();

    // Large: the figures grow into the room, the controls keep their size.
    resizeTo({1600, 1000});
    EXPECT_GE(expectLaidOut(), small * 3 / 2);
    EXPECT_EQ(c().run.start->size(), start);

    // Smaller than the controls (1600x1000 at scale 2): the panel scrolls, the figures shrink.
    resizeTo({800, 500});
    EXPECT_GT(scroll("ControlScroll")->verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(windowScrolls());
    const int smaller = expectLaidOut();
    EXPECT_LT(smaller, small);

    // Below the window's minimum, as some window managers leave it: the whole window scrolls.
    resizeTo({400, 300}, true);
    EXPECT_TRUE(windowScrolls());
    EXPECT_LE(expectLaidOut(), smaller);
    for (QWidget* far : Widgets{c().file[0].importButton, &fig(8)}) {
        far->setFocus();
        EXPECT_TRUE(inWindow(scroll("WindowScroll")->viewport()).contains(inWindow(far)));
    }
    resizeTo({1024, 640}); // and it grows back
    EXPECT_FALSE(windowScrolls());
    EXPECT_EQ(expectLaidOut(), small);

    // The generated model moves "Start" and nothing else.
    const auto before = positions();
    const QPoint home = c().run.start->mapTo(&c(), QPoint(0, 0));
    click(c().model.generateModel);
    EXPECT_EQ(positions(), before);
    EXPECT_NE(c().run.start->mapTo(&c(), QPoint(0, 0)), home);
    click(c().model.generateModel);
    EXPECT_EQ(positions(), before);
    EXPECT_EQ(c().run.start->mapTo(&c(), QPoint(0, 0)), home);

    // A deep path and long column names: one line each, elided, the full text in the tool tip.
    const std::string folder = "a folder with a name far too long to fit beside the button";
    std::filesystem::create_directories(dir.path / folder);
    const std::string xName = "Concentration measured in the field with the portable meter";
    const QString path =
        file(folder + "/long-named-calibration-samples.csv", xName + ",Y\n1,2\n3,5\n");
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
