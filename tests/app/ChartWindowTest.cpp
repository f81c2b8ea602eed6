#include "ChartFixture.h"

#include "RecordingPaintDevice.h"

#include "app/ColourSettingsWindow.h"
#include "figexport/FigureExport.h"
#include "figures/ChartFigures.h"
#include "print/PrintOptionsDialog.h"

#include <QMenuBar>
#include <QStyleOptionSlider>

namespace quendrix::test {
namespace {

// The main figure rendered at 802 pixels: a fine cell is two pixels wide.
const QSize Fine(802, 802);

class ChartWindowTest : public ChartFixture {
  protected:
    /// "P"/"C" for the option chosen, "a"/"m" for the curves, "chart" while the colour chart shows.
    std::string view() {
        return std::string(cc().option1[0]->isChecked() ? "P" : "") +
               (cc().option1[1]->isChecked() ? "C" : "") + (cc().check4->isChecked() ? "a" : "") +
               (cc().check1->isChecked() ? "m" : "") +
               (cc().picture3->isVisibleTo(chart()) ? "chart" : "");
    }
    /// Whether the main figure, the section and (probability view) the colour chart show what the
    /// figure code draws for `mode`, `section` and `percent`, the curves as the boxes say.
    bool shows(ChartMode mode, int section, int percent) {
        const DetailMatrices& d = w.session().detail();
        const ColourRamp& ramp = state().colour;
        ui::FigureScene main, bars, colours;
        drawChartFigure(main, d, mode, percent, ramp);
        drawChartCurves(main, d, cc().check4->isChecked(), cc().check1->isChecked(),
                        ramp.greyScale);
        drawSectionMarker(main, section, ramp.greyScale);
        drawSection(bars, d, sectionColumn(section), percent, ramp.greyScale);
        drawColourChart(colours, ramp.points, colourChartLimit(d, sectionColumn(section), percent));
        return main.render(Fine) == cc().picture1->render(Fine) &&
               bars.render(Fine) == cc().picture2->render(Fine) &&
               (mode == ChartMode::Confidence ||
                colours.render(Fine) == cc().picture3->render(Fine));
    }
};

TEST_F(ChartWindowTest, OpensFromFig7AndFig8AsOneWindowAndClosesWithItsData) {
    runAll();
    fig(8).setFlat(true); // as under the pointer
    ChartWindow* window = openFrom(7);
    ASSERT_TRUE(window != nullptr && window->isVisible());
    EXPECT_EQ(window->windowTitle().toStdString(), "Calibration chart");
    EXPECT_FALSE(fig(8).isFlat());
    EXPECT_EQ(view(), "Pchart");
    EXPECT_EQ(text(cc().option1[0], cc().option1[1], cc().check4, cc().check1, cc().command1),
              "Probability|Confidence|Show average|Show mode|OK");
    for (int percent : {100, 0, 200}) {
        cc().slider2->setValue(percent);
        EXPECT_TRUE(shows(ChartMode::Probability, 50, percent)) << percent;
        EXPECT_EQ(text(cc().label4), std::to_string(percent) + " %");
    }
    click(cc().option1[1]);
    EXPECT_EQ(view(), "C");
    EXPECT_TRUE(shows(ChartMode::Confidence, 50, 200));
    cc().slider2->setValue(150);
    EXPECT_TRUE(shows(ChartMode::Confidence, 50, 150));
    click(cc().check1);
    EXPECT_TRUE(shows(ChartMode::Confidence, 50, 150));
    click(cc().option1[0]);
    EXPECT_EQ(view(), "Pmchart");
    EXPECT_TRUE(shows(ChartMode::Probability, 50, 150));

    // A second request shows the same window in the other view; its section stays.
    cc().slider1->setValue(30);
    EXPECT_EQ(openFrom(8), window);
    EXPECT_EQ(view(), "Cam");
    EXPECT_EQ(cc().slider1->value(), 30);
    w.menus().details[0]->trigger();
    EXPECT_EQ(view(), "Pchart");
    w.menus().details[1]->trigger();
    EXPECT_EQ(view(), "Cam");

    // The main window stays usable; a change that undoes the result closes the chart.
    c().smoothing.slider->setValue(6);
    EXPECT_TRUE(drawn(8));
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

TEST_F(ChartWindowTest, PanelAndLabelsFollowTheSectionUntilItsDataWentUnnoticed) {
    runAll();
    ASSERT_NE(openFrom(8), nullptr);
    // The section's X value is its share of the range 0..40; the edges hold the labels back.
    for (const auto& [percent, x] : {std::pair{50, "20"}, {13, "5.2"}, {100, "40"}, {0, "0"}}) {
        SCOPED_TRACE(percent);
        cc().slider1->setValue(percent);
        EXPECT_EQ(cc().intervalPanel->lines(), batchReadout(percent));
        EXPECT_EQ(text(cc().label3, cc().label5), std::string(x) + "|" + x);
        const int marker = cc().picture1->x() + cc().picture1->width() * percent / 100;
        if (percent > 10 && percent < 90) {
            EXPECT_NEAR(cc().label3->geometry().center().x(), marker, 2);
            EXPECT_NEAR(cc().label5->geometry().center().x(), marker, 2);
        }
    }

    // The mode's red mark stands level with the section's row of the mode.
    cc().slider1->setValue(50);
    const QImage shot = grabbed(chart());
    const QRect rows = cc().picture2->contentsRect().translated(inWindow(cc().picture2).topLeft());
    const DetailMatrices& d = w.session().detail();
    const int mode = d.fineMode[size_t(sectionColumn(50))];
    const double modeY = rows.top() + ChartFrame.y(mode) * rows.height() / ChartFrame.height;
    const QRect marks = inWindow(cc().intervalMarks);
    int red = -1;
    for (int y = marks.top(); y <= marks.bottom() && red < 0; ++y) {
        if (shot.pixelColor(marks.center().x(), y) == Red) {
            red = y;
        }
    }
    EXPECT_NEAR(red, modeY, 1);

    // A cell at the regions' lower edge, clear of the curves and of every section marker.
    int row = FineFirst;
    while (std::fabs(d.confi(330, row)) < 1) {
        ++row;
    }
    auto cell = [&] { return cc().picture1->colourAt(ChartFrame.x(330), ChartFrame.y(row), Fine); };
    const QColor before = cell();
    ASSERT_NE(before, White);
    // The session changes behind the windows' backs: the chart's data are gone.
    w.session().setSmoothing(9);
    cc().slider1->setValue(70);
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Error: Interpolation failed")});
    EXPECT_EQ(cc().slider1->value(), 0);
    EXPECT_EQ(text(cc().label3, cc().label5), "0|0");
    EXPECT_TRUE(cc().intervalPanel->lines().isEmpty());
    EXPECT_TRUE(cc().intervalMarks->strokes().empty());
    EXPECT_EQ(cell(), before); // the main figure keeps its last drawing
}

TEST_F(ChartWindowTest, TheSectionMovesOverAFrozenFigureAndColourChangesRedrawIt) {
    runAll();
    ASSERT_NE(openFrom(8), nullptr);
    ui::FigureSurface& p = *cc().picture1;
    stamp();
    cc().slider1->setValue(70);
    EXPECT_TRUE(stamped()); // moving the section leaves the main figure as it is
    EXPECT_EQ(p.colourAt(280, 5, {400, 400}), Blue);
    EXPECT_EQ(p.colourAt(200, 5, {400, 400}), White); // the old marker is gone
    click(cc().check4);                               // curves on the layer too
    EXPECT_TRUE(stamped());
    // Each enhancement step, in a drag too, redraws it and is a colour change for the others.
    SessionState& state = this->state();
    cc().slider2->setSliderDown(true);
    cc().slider2->setValue(120);
    EXPECT_FALSE(stamped());
    EXPECT_EQ(state.colour.enhancement, 1.2f);
    EXPECT_TRUE(state.colourChanged);
    cc().slider2->setSliderDown(false);

    // Activation redraws all but the read-out after the colour settings changed the colours.
    ASSERT_TRUE(activate(&w));
    state.colour.points = greyColourPoints();
    state.colour.greyScale = true;
    markColourChanged(state);
    ASSERT_TRUE(activate(chart()));
    EXPECT_TRUE(shows(ChartMode::Confidence, 70, 120));
    // A change made while the chart stays active is drawn at once.
    state.colour.greyScale = false;
    state.colour.points = defaultColourPoints();
    markColourChanged(state);
    emit w.workflow().coloursChanged();
    EXPECT_TRUE(shows(ChartMode::Confidence, 70, 120));

    // The next chart opens at the enhancement; "Colour Setting" shows the colour settings.
    click(cc().command1);
    ASSERT_NE(openFrom(7), nullptr);
    EXPECT_EQ(cc().slider2->value(), 120);
    chart()->findChild<QAction*>(QStringLiteral("ColourSetting"))->trigger();
    EXPECT_TRUE(w.workflow().colourSettings() && w.workflow().colourSettings()->isVisible());
}

/// A menu's captions, "-" for a separator, "(off)" after a disabled one, submenus in brackets.
std::string captions(const QWidget* menu) {
    QStringList items;
    for (const QAction* a : menu->actions()) {
        const QString sub = QString::fromStdString(a->menu() ? captions(a->menu()) : "");
        items.push_back((a->isSeparator() ? QStringLiteral("-") : a->text()) +
                        (a->isEnabled() ? QString() : QStringLiteral("(off)")) +
                        (a->menu() ? QStringLiteral("[%1]").arg(sub) : QString()));
    }
    return items.join(QLatin1Char('|')).toStdString();
}

/// The captions of the pop-up menu a right press on `figure` opens.
std::string popup(QWidget* figure) {
    QTest::mousePress(figure, Qt::RightButton);
    QMenu* menu = nullptr;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); }));
    const std::string out = menu ? captions(menu) : "";
    if (menu) {
        menu->close();
    }
    // A press without its release would leave the button held for the tests after this.
    QTest::mouseRelease(figure, Qt::RightButton);
    return out;
}

TEST_F(ChartWindowTest, MenusInTheirPlacesAndTheFigureSquareAtEverySize) {
    runAll();
    fig(7).setFlat(true);
    EXPECT_EQ(popup(&fig(7)), "More details|&Save matrix|-|&Copy");
    EXPECT_FALSE(fig(7).isFlat());
    EXPECT_EQ(popup(&fig(5)), "Copy");
    EXPECT_EQ(captions(w.menuBar()),
              "File(&F)[&Recent files[-|No file imported yet(off)|-|No file imported yet(off)]|-|"
              "&Save Matrix[Quendrix common output format|Quendrix 2.0 output "
              "format(off)[Probability Distribution(off)|Confidence Regions(off)]]|&Export "
              "figures...|Check &coverage...|Su&ggest settings...|-|Print Options|&Print|-|&Quit]|"
              "Edit(&E)[Colour "
              "Settings|-|&Copy[Fig.&1|Fig.&2|Fig.&3|Fig.&4|Fig.&5|Fig.&6|Fig.&7|Fig.&8]]|"
              "Help(&H)[&About Quendrix 3.0]");
    ASSERT_NE(openFrom(7), nullptr);
    EXPECT_EQ(captions(chart()->menuBar()),
              "File(&F)[&Save Matrix|&Apply to measurements...|-|Print Options|&Print|-|E&xit]|"
              "Edit(&E)[Colour Setting|-|&Copy[&Main figure|Section]]");
    EXPECT_EQ(popup(cc().picture1), "Copy");
    EXPECT_EQ(popup(cc().picture2), "Copy");

    // At every size the main figure stays square, the section level with it and every text whole.
    for (const QSize size : {QSize(1, 1), QSize(1024, 640), QSize(900, 1000), QSize(1600, 800)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        chart()->resize(size);
        QApplication::processEvents();
        const ChartControls& k = cc();
        const QRect p1 = k.picture1->geometry(), p2 = k.picture2->geometry();
        EXPECT_EQ(p1.width(), p1.height());
        EXPECT_GE(p1.width(), 240);
        EXPECT_EQ(p2, QRect(p2.left(), p1.top(), p2.width(), p1.height()));
        const QRect p3 = k.picture3->geometry();
        EXPECT_EQ(p3, QRect(p2.left(), p3.top(), p2.width(), p3.height()));
        EXPECT_GT(p3.top(), p2.bottom());
        expectUsable({k.picture1, k.picture2, k.picture3, k.slider1, k.slider2, k.label3, k.label4,
                      k.label5, k.option1[0], k.option1[1], k.check4, k.check1, k.command1,
                      k.intervalMarks, k.label1[0], k.label1[1], k.label2[0], k.label2[1],
                      k.intervalPanel},
                     inWindow(chart()->centralWidget()));
        // The section slider's thumb stands over the marker line.
        QStyleOptionSlider o;
        o.initFrom(k.slider1); // horizontal from 0 by default
        o.maximum = 100;
        const QRect contents = k.picture1->contentsRect().translated(p1.topLeft());
        for (int percent : {0, 25, 100}) {
            o.sliderPosition = o.sliderValue = percent;
            const QRect thumb = k.slider1->style()->subControlRect(
                QStyle::CC_Slider, &o, QStyle::SC_SliderHandle, k.slider1);
            EXPECT_NEAR(thumb.center().x() + k.slider1->x(),
                        contents.left() + contents.width() * percent / 100.0, 3)
                << percent;
        }
    }
}

using ChartPrintTest = ChartFixture;

TEST_F(ChartPrintTest, PrintsAndCopiesAsTheWindowShowsAndReturningFromPrintOptionsWaits) {
    runAll();
    ASSERT_NE(openFrom(8), nullptr);
    ASSERT_TRUE(activate(chart()));
    cc().slider1->setValue(30);
    cc().slider2->setValue(150);
    click(cc().check1); // "Show mode" off
    const ChartView v = chart()->printView();
    EXPECT_EQ(std::tuple(v.sectionPercent, v.enhancementPercent, v.showAverage, v.showMode),
              std::tuple(30, 150, true, false));
    // The Edit menu's items (the pop-up menus' too) copy the main figure and the section as shown.
    for (const auto& [name, shown] :
         {std::pair{"CopyFig1", cc().picture1}, {"CopyFig2", cc().picture2}}) {
        QAction* item = chart()->findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(clipboardPictureAfter([&] { item->trigger(); }), surfacePicture(*shown)) << name;
    }

    // Printed through the print dialog and said where the user printed from; a cancel says nothing.
    const std::string before = status();
    dialogs.answerPrint({path("chart.pdf")});
    chart()->printAction()->trigger();
    EXPECT_EQ(pdfPages(slurp(dir.path / "chart.pdf")), 1);
    chart()->printAction()->trigger();
    EXPECT_EQ(dialogs.printDialogsShown(), 2);
    EXPECT_EQ(chartStatus() + "|" + status(), "Printed to chart.pdf|" + before);

    // Returning from the print options redraws nothing; the next activation draws the change.
    stamp();
    markColourChanged(state());
    chart()->printOptionsAction()->trigger();
    PrintOptionsDialog* d = w.workflow().printing().printOptions();
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(activate(d));
    d->close();
    ASSERT_TRUE(activate(chart()));
    EXPECT_TRUE(stamped());
    ASSERT_TRUE(activate(&w));
    ASSERT_TRUE(activate(chart()));
    EXPECT_FALSE(stamped());
}

/// The exported PNGs against the windows' own figures, pixel for pixel: not a likeness of them.
class ExportedPixelsTest : public ChartFixture {
  protected:
    /// Whether the PNG shows in `box` what the surface shows at the box's size and the PNG's scale.
    static bool same(const QByteArray& png, const QRectF& box, const ui::FigureSurface& shown) {
        const QImage exported = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
        return exported.copy(QRectF(box.topLeft() * PngScale, box.size() * PngScale).toRect()) ==
               shown.render(box.size().toSize(), PngScale).convertToFormat(QImage::Format_RGB32);
    }

    /// The chart window as Fig.8 opens it (the confidence view), with the section at `section`.
    void expectWindowsPixels(int section) {
        ASSERT_NE(openFrom(8), nullptr);
        cc().slider1->setValue(section);
        auto files = renderFigures(w.session(), FigureFormat::Png, section);
        ASSERT_TRUE(files) << files.reason();
        const auto& png = files.value();
        const FigureSet set(w.session(), section);
        for (int n = 1; n <= 8; ++n) {
            EXPECT_TRUE(same(png[size_t(n - 1)], set.sheet(n - 1).surfaces[0].box, fig(n))) << n;
        }
        const auto& surfaces = set.sheet(8).surfaces;
        EXPECT_TRUE(same(png[8], surfaces[0].box, *cc().picture1)) << "main figure";
        EXPECT_TRUE(same(png[8], surfaces[1].box, *cc().picture2)) << "section";
        w.workflow().chart().close();
    }
};

TEST_F(ExportedPixelsTest, EveryFigureAsTheWindowsShowIt) {
    runAll();
    // The export shows file 2's fitting line and both overlays of Fig.8.
    click(c().model.showFittingLine);
    expectWindowsPixels(50);

    // The generated model (Fig.2 blank), skipped normalisation (Fig.6 blank), grey, off-centre.
    click(c().model.generateModel);
    click(c().thresholds.skip);
    click(c().run.start);
    click(c().coefficients.colourSettings);
    ColourSettingsWindow* colours = w.workflow().colourSettings();
    ASSERT_NE(colours, nullptr);
    click(colours->greyScaleButton());
    colours->close();
    ASSERT_TRUE(activate(&w));
    expectWindowsPixels(30);
}

} // namespace
} // namespace quendrix::test
