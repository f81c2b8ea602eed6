#include "ChartFixture.h"
#include "TestFiles.h"

#include "app/ColourSettingsWindow.h"
#include "base/NumberText.h"
#include "session/ColourChangeProtocol.h"

#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionSlider>

namespace quendrix::test {
namespace {

class ChartWindowTest : public ChartFixture {
  protected:
    /// "P" or "C" for the option chosen, "a" and "m" for the curves, "chart" while the colour
    /// chart shows.
    std::string view() {
        return std::string(cc().option1[0]->isChecked() ? "P" : "") +
               (cc().option1[1]->isChecked() ? "C" : "") + (cc().check4->isChecked() ? "a" : "") +
               (cc().check1->isChecked() ? "m" : "") +
               (cc().picture3->isVisibleTo(chart()) ? "chart" : "");
    }
    /// The main figure's colour at fine cell (i, j).
    QColor at(int i, int j) {
        return cc().picture1->colourAt(ChartFrame.x(i), ChartFrame.y(j), QSize(802, 802));
    }
};

TEST_F(ChartWindowTest, OpensFromFig7AndFig8AsOneWindowAndClosesWithItsData) {
    import(0, CalibrationCsv);
    import(1, ErrorCsv);
    EXPECT_EQ(openFrom(7), nullptr); // nothing to read off yet
    click(c().run.start);
    fig(8).setFlat(true); // as under the pointer

    ChartWindow* window = openFrom(7);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle().toStdString(), "Calibration chart");
    EXPECT_FALSE(fig(8).isFlat());
    EXPECT_EQ(view(), "Pchart");
    EXPECT_EQ(text(cc().option1[0]) + "|" + text(cc().option1[1]) + "|" + text(cc().check4) + "|" +
                  text(cc().check1) + "|" + text(cc().command1),
              "Probability|Confidence|Show average|Show mode|OK");
    EXPECT_EQ(cc().slider1->value(), 50);
    EXPECT_EQ(cc().slider2->value(), 100);
    EXPECT_EQ(text(cc().label4), "100 %");
    EXPECT_EQ(text(cc().label3) + " " + text(cc().label5), "20 20");
    EXPECT_EQ(text(cc().label1[0]) + " " + text(cc().label1[1]) + " " + text(cc().label2[0]) + " " +
                  text(cc().label2[1]),
              "0 0 40 40");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // A second request shows the same window in the other view; its section stays.
    cc().slider1->setValue(30);
    EXPECT_EQ(openFrom(8), window);
    EXPECT_EQ(chartWindows(), 1);
    EXPECT_EQ(view(), "Cam");
    EXPECT_EQ(cc().slider1->value(), 30);
    w.menus().details[0]->trigger();
    EXPECT_EQ(chart(), window);
    EXPECT_EQ(view(), "Pchart");
    w.menus().details[1]->trigger();
    EXPECT_EQ(view(), "Cam");

    // The main window stays usable; a change that undoes the result closes the chart.
    c().smoothing.slider->setValue(6);
    EXPECT_TRUE(drawn(8));
    EXPECT_EQ(chart(), nullptr);
    EXPECT_EQ(chartWindows(), 0);
    ASSERT_NE(openFrom(8), nullptr);
    EXPECT_EQ(cc().slider1->value(), 50); // a new window starts afresh
    c().coefficients.sliders[0]->setValue(700);
    EXPECT_EQ(chartWindows(), 0);

    // "OK", "E&xit", Escape and quitting the program close it.
    ASSERT_NE(openFrom(8), nullptr);
    click(cc().command1);
    EXPECT_EQ(chartWindows(), 0);
    ASSERT_NE(openFrom(7), nullptr);
    chart()->findChild<QAction*>(QStringLiteral("Exit"))->trigger();
    EXPECT_EQ(chartWindows(), 0);
    ASSERT_NE(openFrom(7), nullptr);
    ASSERT_TRUE(activate(chart()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(chartWindows(), 0);
    ASSERT_NE(openFrom(7), nullptr);
    w.close();
    EXPECT_EQ(chartWindows(), 0);
}

TEST_F(ChartWindowTest, PanelReadsWhatTheBatchPrintsAndTheLabelsFollowEverySectionChange) {
    runAll();
    ASSERT_NE(openFrom(8), nullptr);
    TempDir dir("quendrix-chart-readout");
    const std::string output = (dir.path / "batch.csv").string();
    QSlider* s = cc().slider1;
    s->setFocus();
    auto expectSection = [&](int percent) {
        SCOPED_TRACE(percent);
        ASSERT_EQ(s->value(), percent);
        EXPECT_EQ(panel(), batchReadout(percent, output));
        const std::string x = shortestText(40 * (percent / 100.0));
        EXPECT_EQ(text(cc().label3), x);
        EXPECT_EQ(text(cc().label5), x);
        // Centred over the marker, unless an edge holds the label back.
        const QRect p = cc().picture1->geometry();
        const int marker = p.left() + p.width() * percent / 100;
        if (percent > 10 && percent < 90) {
            EXPECT_NEAR(cc().label3->geometry().center().x(), marker, 2);
            EXPECT_NEAR(cc().label5->geometry().center().x(), marker, 2);
        }
    };
    expectSection(50);
    EXPECT_EQ(panel(), (std::vector<std::string>{"68.2 %", "16.9 - 21.2", "95.4 %", "15.1 - 23.7",
                                                 "Average", " 19.2", "Mode", "19"}));
    // Keys move the section as the mouse does, and the focus stays for the next key.
    QTest::keyClick(s, Qt::Key_Right);
    expectSection(51);
    QTest::keyClick(s, Qt::Key_PageUp);
    expectSection(56);
    EXPECT_EQ(QApplication::focusWidget(), s);
    QTest::keyClick(s, Qt::Key_End);
    expectSection(100);
    QTest::keyClick(s, Qt::Key_Home);
    expectSection(0);
    s->setValue(13);
    expectSection(13);

    // The mode's red mark stands level with the section's row of the mode, whose bar is the
    // longest.
    s->setValue(50);
    const QImage shot = grabbed(chart());
    const QRect rows =
        cc().picture2->contentsRect().translated(cc().picture2->mapTo(chart(), QPoint(0, 0)));
    const int mode = w.session().detail().fineMode[size_t(sectionColumn(50))];
    const double modeY = rows.top() + ChartFrame.y(mode) * rows.height() / ChartFrame.height;
    auto bar = [&](int y) {
        int n = 0;
        while (shot.pixelColor(rows.left() + n, y) == Blue) {
            ++n;
        }
        return n;
    };
    int longest = 0;
    for (int y = rows.top(); y <= rows.bottom(); ++y) {
        longest = std::max(longest, bar(y));
    }
    EXPECT_GT(longest, 10);
    EXPECT_EQ(bar(int(modeY)), longest);
    const QRect marks(cc().intervalMarks->mapTo(chart(), QPoint(0, 0)), cc().intervalMarks->size());
    int red = -1;
    for (int y = marks.top(); y <= marks.bottom() && red < 0; ++y) {
        if (shot.pixelColor(marks.center().x(), y) == Red) {
            red = y;
        }
    }
    EXPECT_NEAR(red, modeY, 1);
}

TEST_F(ChartWindowTest, BothDisplayModesAndTheEnhancementByPixels) {
    runAll();
    ASSERT_NE(openFrom(7), nullptr);
    const DetailMatrices& d = w.session().detail();
    // Two columns away from the marker, every row, as the figure code draws the view and
    // enhancement chosen.
    auto expectColumns = [&](int percent) {
        SCOPED_TRACE(testing::Message() << view() << " at " << percent << " %");
        const bool probability = cc().option1[0]->isChecked();
        const QImage image =
            chartImage(d, probability ? ChartMode::Probability : ChartMode::Confidence, percent,
                       w.session().state().colour);
        std::set<QRgb> seen;
        for (int i : {180, 330}) {
            for (int j = FineFirst; j <= FineLast; ++j) {
                ASSERT_EQ(at(i, j), image.pixelColor(i - 50, 450 - j)) << i << "," << j;
                seen.insert(at(i, j).rgb());
            }
        }
        EXPECT_GE(seen.size(), probability && percent > 0 ? 10u : 2u);
    };
    // The section: the bar of the column's mode row, two pixels a dot.
    const int column = sectionColumn(50);
    const int mode = d.fineMode[size_t(column)];
    auto bar = [&] {
        int n = 0;
        while (n < 101 &&
               cc().picture2->colourAt(n + 0.5, ChartFrame.y(mode), {202, 800}) == Blue) {
            ++n;
        }
        return n;
    };
    // The colour chart turns from white to the ramp at the wider region's enhanced level.
    auto chartTurns = [&](int percent) {
        const double x = colourChartLimit(d, column, percent) * 4;
        auto p3 = [&](double at) { return cc().picture3->colourAt(at, 0.5, {802, 4}); };
        return p3(x - 1.5) == White && p3(x + 1.5) != White;
    };
    for (int percent : {100, 0, 200}) {
        cc().slider2->setValue(percent);
        expectColumns(percent);
        EXPECT_EQ(bar(), sectionDots(sectionValue(d.prob(column, mode), percent)));
        EXPECT_TRUE(chartTurns(percent)) << percent;
        EXPECT_EQ(text(cc().label4), std::to_string(percent) + " %");
    }
    EXPECT_EQ(bar(), 101); // the peak is beyond full scale at 200 %
    cc().slider2->setValue(0);
    EXPECT_EQ(bar(), 0);

    click(cc().option1[1]);
    EXPECT_EQ(view(), "C");
    expectColumns(0);
    cc().slider2->setValue(150); // the confidence mode has no enhancement
    expectColumns(150);
    click(cc().option1[0]);
    EXPECT_EQ(view(), "Pchart");
    expectColumns(150);
    EXPECT_TRUE(chartTurns(150));
}

TEST_F(ChartWindowTest, TheSectionMovesOverAFrozenFigureAndActivationRedrawsAfterAColourChange) {
    runAll();
    ASSERT_NE(openFrom(8), nullptr);
    ui::FigureSurface& p = *cc().picture1;
    auto stamp = [&] {
        p.clear();
        p.fillBox(0, 0, 20, 20, Stamp);
        p.makePersistent();
    };
    auto stamped = [&] { return p.colourAt(10, 10, {400, 400}) == Stamp; };
    stamp();
    cc().slider1->setValue(70);
    EXPECT_TRUE(stamped()); // moving the section leaves the main figure as it is
    EXPECT_EQ(p.colourAt(280, 5, {400, 400}), Blue);
    EXPECT_EQ(p.colourAt(200, 5, {400, 400}), White); // the old marker is gone
    click(cc().check4);                               // curves on the layer too
    EXPECT_TRUE(stamped());
    cc().slider2->setValue(120);
    EXPECT_FALSE(stamped()); // an enhancement redraws it

    // Activation redraws everything but the read-out while the colours have changed.
    SessionState& state = w.session().state();
    ASSERT_TRUE(activate(&w));
    EXPECT_FALSE(state.colourChanged);
    stamp();
    ASSERT_TRUE(activate(chart()));
    EXPECT_TRUE(stamped());
    ASSERT_TRUE(activate(&w));
    // As the colour settings leave them for the next window activated:
    state.colour.points = greyColourPoints();
    state.colour.greyScale = true;
    markColourChanged(state);
    ASSERT_TRUE(activate(chart()));
    EXPECT_FALSE(stamped());
    EXPECT_EQ(p.colourAt(280, 5, {400, 400}), Black);
    EXPECT_EQ(
        cc().picture2->colourAt(0.5, ChartFrame.y(w.session().detail().fineMode[330]), {202, 800}),
        Black);
    // A change made while the chart stays active is drawn at once.
    state.colour.greyScale = false;
    state.colour.points = defaultColourPoints();
    markColourChanged(state);
    emit w.workflow().coloursChanged();
    EXPECT_FALSE(stamped());
    EXPECT_EQ(p.colourAt(280, 5, {400, 400}), Blue);
}

TEST_F(ChartWindowTest, EveryEnhancementMoveIsAColourChangeForTheOtherWindows) {
    runAll();
    ASSERT_NE(openFrom(7), nullptr);
    SessionState& state = w.session().state();
    QSlider* s = cc().slider2;
    s->setFocus();
    QTest::keyClick(s, Qt::Key_Right);
    EXPECT_EQ(state.colour.enhancement, 1.01f);
    EXPECT_TRUE(state.colourChanged);
    // The main window redraws with it when activated and clears the flag.
    const QColor before = cellAt(7, 125, w.session().columns().modeIndex[125]);
    ASSERT_TRUE(activate(&w));
    EXPECT_FALSE(state.colourChanged);
    EXPECT_NE(cellAt(7, 125, w.session().columns().modeIndex[125]), before);
    ASSERT_TRUE(activate(chart()));
    s->setSliderDown(true); // a drag counts at every step too
    s->setValue(150);
    EXPECT_EQ(text(cc().label4), "150 %");
    EXPECT_EQ(state.colour.enhancement, 1.5f);
    EXPECT_TRUE(state.colourChanged);
    s->setSliderDown(false);
    // The next chart opens at it.
    click(cc().command1);
    ASSERT_NE(openFrom(8), nullptr);
    EXPECT_EQ(cc().slider2->value(), 150);
    // "Colour Setting" shows the one colour settings window.
    chart()->findChild<QAction*>(QStringLiteral("ColourSetting"))->trigger();
    ASSERT_NE(w.workflow().colourSettings(), nullptr);
    EXPECT_TRUE(w.workflow().colourSettings()->isVisible());
}

TEST_F(ChartWindowTest, InterpolationFailedWhenItsDataWentUnnoticed) {
    runAll();
    ASSERT_NE(openFrom(8), nullptr);
    const QColor before = at(250, 300);
    // The session changes behind the windows' backs: the chart's data are gone.
    w.session().setSmoothing(9);
    cc().slider1->setValue(70);
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Error: Interpolation failed")});
    EXPECT_EQ(cc().slider1->value(), 0);
    EXPECT_EQ(text(cc().label3) + " " + text(cc().label5), "0 0");
    EXPECT_TRUE(cc().intervalPanel->lines().isEmpty());
    EXPECT_TRUE(cc().intervalMarks->strokes().empty());
    EXPECT_EQ(at(250, 300), before); // the main figure keeps its last drawing
}

TEST_F(ChartWindowTest, FigureStaysSquareSectionLevelWithItAndEveryTextWhole) {
    runAll();
    ASSERT_NE(openFrom(7), nullptr);
    QWidget* canvas = chart()->centralWidget();
    for (const QSize size : {QSize(1, 1), QSize(1024, 640), QSize(900, 1000), QSize(1600, 800)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        chart()->resize(size);
        QApplication::processEvents();
        const ChartControls& k = cc();
        const QRect p1 = k.picture1->geometry(), p2 = k.picture2->geometry();
        EXPECT_EQ(p1.width(), p1.height());
        EXPECT_GE(p1.width(), 240);
        EXPECT_EQ(p2.top(), p1.top());
        EXPECT_EQ(p2.height(), p1.height());
        EXPECT_EQ(k.picture3->geometry().left(), p2.left());
        EXPECT_EQ(k.picture3->geometry().width(), p2.width());
        EXPECT_GT(k.picture3->geometry().top(), p2.bottom());
        // Everything inside the window, whole and apart.
        std::vector<QWidget*> all = {k.picture1,   k.picture2,   k.picture3,      k.slider1,
                                     k.slider2,    k.label3,     k.label4,        k.label5,
                                     k.option1[0], k.option1[1], k.intervalPanel, k.check4,
                                     k.check1,     k.command1,   k.intervalMarks};
        for (QLabel* l : {k.label1[0], k.label1[1], k.label2[0], k.label2[1]}) {
            all.push_back(l);
        }
        for (size_t i = 0; i < all.size(); ++i) {
            const QRect r = all[i]->geometry();
            EXPECT_TRUE(canvas->rect().contains(r)) << i;
            EXPECT_GE(r.width(), all[i]->minimumSizeHint().width()) << i;
            EXPECT_GE(r.height(), all[i]->minimumSizeHint().height()) << i;
            if (auto* label = qobject_cast<QLabel*>(all[i])) {
                EXPECT_GE(r.width(), label->fontMetrics().horizontalAdvance(label->text())) << i;
            }
            for (size_t j = i + 1; j < all.size(); ++j) {
                EXPECT_FALSE(r.intersects(all[j]->geometry())) << i << " and " << j;
            }
        }
        // The section slider's thumb stands over the marker line.
        QStyleOptionSlider o;
        o.initFrom(k.slider1);
        o.orientation = Qt::Horizontal;
        o.minimum = 0;
        o.maximum = 100;
        for (int percent : {0, 25, 100}) {
            o.sliderPosition = o.sliderValue = percent;
            const QRect thumb = k.slider1->style()->subControlRect(
                QStyle::CC_Slider, &o, QStyle::SC_SliderHandle, k.slider1);
            const QRect contents = k.picture1->contentsRect().translated(p1.topLeft());
            EXPECT_NEAR(thumb.center().x() + k.slider1->x(),
                        contents.left() + contents.width() * percent / 100.0, 3)
                << percent;
        }
    }
}

/// The captions of a menu's items, "-" for a separator, "(off)" after a disabled one and the
/// submenus' items in brackets.
std::string captions(const QMenu* menu) {
    QStringList items;
    for (const QAction* a : menu->actions()) {
        QString item = a->isSeparator() ? QStringLiteral("-") : a->text();
        if (!a->isEnabled()) {
            item += QStringLiteral("(off)");
        }
        if (a->menu() != nullptr) {
            item += QStringLiteral("[%1]").arg(QString::fromStdString(captions(a->menu())));
        }
        items.push_back(item);
    }
    return items.join(QLatin1Char('|')).toStdString();
}

TEST_F(ChartWindowTest, MenusInTheirPlacesEveryItemEnabled) {
    runAll();
    ASSERT_NE(openFrom(7), nullptr);
    std::vector<std::string> bar;
    for (const QAction* a : chart()->menuBar()->actions()) {
        bar.push_back(a->text().toStdString() + ": " + captions(a->menu()));
    }
    EXPECT_EQ(bar,
              (std::vector<std::string>{
                  "File(&F): &Save Matrix|&Apply to measurements...|-|Print Options|&Print|-|E&xit",
                  "Edit(&E): Colour Setting|-|&Copy[&Main figure|Section]"}));
    for (int n = 1; n <= 2; ++n) {
        ui::FigureSurface* picture = n == 1 ? cc().picture1 : cc().picture2;
        QTest::mousePress(picture, Qt::RightButton);
        QMenu* menu = chart()->figureMenu(n);
        EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); })) << n;
        EXPECT_EQ(captions(menu), "Copy");
        menu->close();
        // A press without its release would leave the button held for the tests after this.
        QTest::mouseRelease(picture, Qt::RightButton);
    }

    bar.clear();
    for (const QAction* a : w.menuBar()->actions()) {
        bar.push_back(a->text().toStdString() + ": " + captions(a->menu()));
    }
    EXPECT_EQ(bar,
              (std::vector<std::string>{
                  "File(&F): &Save Matrix[Quendrix common output format|Quendrix 2.0 output "
                  "format(off)[Probability Distribution(off)|Confidence Regions(off)]]|Check "
                  "&coverage...|-|Print Options|&Print|-|&Quit",
                  "Edit(&E): Colour Settings|-|&Copy[Fig.&1|Fig.&2|Fig.&3|Fig.&4|Fig.&5|Fig.&6|"
                  "Fig.&7|Fig.&8]",
                  "Help(&H): &About Quendrix 3.0"}));
}

TEST_F(ChartWindowTest, FigureMenusOfTheMainWindowFollowTheirFigures) {
    auto popup = [&](int n) {
        QTest::mousePress(&fig(n), Qt::RightButton);
        QMenu* menu = nullptr;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            return menu != nullptr;
        })) << n;
        const std::string out = menu ? captions(menu) : "";
        if (menu) {
            menu->close();
        }
        QTest::mouseRelease(&fig(n), Qt::RightButton);
        return out;
    };
    // The figures whose pop-up "Copy" is enabled; the Edit menu's item for each is the same.
    auto copies = [&] {
        std::string out;
        for (int n = 1; n <= 8; ++n) {
            const bool on = w.menus().figureCopies[size_t(n - 1)]->isEnabled();
            EXPECT_EQ(on, w.menus().copies[size_t(n - 1)]->isEnabled()) << n;
            if (on) {
                out += char('0' + n);
            }
        }
        return out;
    };
    EXPECT_EQ(copies(), "");
    import(0, CalibrationCsv);
    import(1, ErrorCsv);
    EXPECT_EQ(popup(1), "Copy");
    EXPECT_EQ(popup(3), "Copy(off)"); // a figure that computes on a click, not drawn yet
    EXPECT_EQ(copies(), "12");
    EXPECT_FALSE(w.menus().commonOutput->isEnabled());
    click(c().run.start);
    fig(7).setFlat(true);
    EXPECT_EQ(popup(7), "More details|&Save matrix|-|&Copy");
    EXPECT_FALSE(fig(7).isFlat());
    EXPECT_EQ(popup(8), "More details|&Save matrix|-|&Copy");
    EXPECT_EQ(popup(5), "Copy");
    EXPECT_EQ(copies(), "12345678");
    EXPECT_TRUE(w.menus().commonOutput->isEnabled());
    c().coefficients.sliders[1]->setValue(900); // recomputed at once
    EXPECT_TRUE(w.menus().commonOutput->isEnabled());
    // Skipping leaves Fig.6 blank; a range too narrow for the figures leaves only the samples.
    click(c().thresholds.skip);
    EXPECT_EQ(copies(), figures(Drawn));
    EXPECT_EQ(copies(), "1234578");
    EXPECT_EQ(popup(6), "Copy(off)");
    typeRange(c().range.upper, QStringLiteral("50"));
    EXPECT_EQ(copies(), "12");
}

} // namespace
} // namespace quendrix::test
