#include "WindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>

#include <cmath>

namespace quendrix::test {
namespace {

using WorkflowTest = WindowFixture;

TEST_F(WorkflowTest, StartRunsEveryStageOnceAndClicksRunFromTheirFigure) {
    importBoth();
    EXPECT_TRUE(fig(3).isEnabled());
    for (int n = 4; n <= 8; ++n) {
        EXPECT_FALSE(fig(n).isEnabled()) << "Fig." << n;
    }
    click(c().command3);
    for (int n = 1; n <= 8; ++n) {
        EXPECT_TRUE(drawn(n)) << "Fig." << n;
        EXPECT_TRUE(fig(n).isEnabled()) << "Fig." << n;
    }
    for (int s = 0; s < StageCount; ++s) {
        EXPECT_TRUE(w.session().stageDone(Stage(s))) << s;
    }
    EXPECT_FALSE(c().command3->isEnabled());
    EXPECT_TRUE(c().check2->isEnabled() && c().check6->isEnabled());

    // A second "Start" with Fig.3 drawn (and no generated model) does nothing.
    const auto before = snapshot();
    stamp();
    w.workflow().start();
    EXPECT_EQ(redrawn(), "");
    EXPECT_EQ(changed(before), "");

    // A new range undoes everything after the scatter figures; a click on Fig.3 runs it all.
    typeRange(c().text2, QStringLiteral("45"));
    leaveRange();
    EXPECT_FALSE(drawn(3));
    click(&fig(3));
    for (int n = 3; n <= 8; ++n) {
        EXPECT_TRUE(drawn(n)) << "Fig." << n;
    }
}

TEST_F(WorkflowTest, GeneratedModelStandsInForFileTwo) {
    importBoth();
    click(c().check4);
    ASSERT_TRUE(c().check4->isChecked());
    EXPECT_EQ(text(c().label17), "y = x");
    EXPECT_EQ(text(c().label21[1]), "Generated error model");
    EXPECT_EQ(text(c().label15[1]), "Error model");
    EXPECT_EQ(text(c().label12[1]), "");
    // 5 % of the range 0..40.
    EXPECT_EQ(text(c().label19), "2");
    EXPECT_EQ(text(c().label22), "Std.Dev.: 5 % of range");
    EXPECT_TRUE(c().slider4->isVisible());
    EXPECT_FALSE(c().command1[1]->isEnabled());
    EXPECT_FALSE(drawn(2));
    EXPECT_TRUE(drawn(3));
    EXPECT_FALSE(drawn(4));
    const double twoPi = 6.28318530718;
    EXPECT_FLOAT_EQ(m().at(Field::Model, 100, 100), float(1 / (std::sqrt(twoPi) * 2)));
    EXPECT_NE(cellAt(3, 100, 100), White);
    EXPECT_EQ(cellAt(3, 100, 200), White);

    c().slider4->setValue(6);
    EXPECT_EQ(text(c().label22), "Std.Dev.: 6 % of range");
    EXPECT_EQ(text(c().label19), "2.4");
    EXPECT_FLOAT_EQ(m().at(Field::Model, 100, 100), float(1 / (std::sqrt(twoPi) * 2.4)));

    // Fig.4 is the next step; its click runs the rest with the model.
    click(&fig(4));
    EXPECT_TRUE(drawn(8));

    click(c().check4);
    EXPECT_FALSE(c().check4->isChecked());
    EXPECT_EQ(text(c().label12[1]), "150");
    EXPECT_EQ(text(c().label17), "");
    EXPECT_EQ(text(c().label21[1]), "");
    EXPECT_TRUE(c().command1[1]->isEnabled());
    EXPECT_TRUE(drawn(2));
    EXPECT_FALSE(drawn(3));
    EXPECT_FALSE(drawn(8));

    // File 2's line went with the model: the Gaussian model refuses until file 2 comes back.
    click(&fig(3));
    EXPECT_FALSE(drawn(3));
    EXPECT_TRUE(w.statusBar()->currentMessage().contains(QStringLiteral("file 2")))
        << w.statusBar()->currentMessage().toStdString();
    import(1, ErrorCsv);
    click(&fig(3));
    EXPECT_TRUE(drawn(8));
}

TEST_F(WorkflowTest, EachSettingRecomputesExactlyItsStages) {
    runAll();
    auto step = [&](auto change, const std::string& figures, const std::string& fields) {
        const auto before = snapshot();
        stamp();
        change();
        EXPECT_EQ(redrawn(), figures);
        EXPECT_EQ(changed(before), fields);
        for (int n = 3; n <= 8; ++n) {
            EXPECT_EQ(drawn(n), n != 6 || !c().check5->isChecked()) << "Fig." << n;
        }
    };
    {
        SCOPED_TRACE("smoothing");
        step([&] { c().slider3->setValue(8); }, "5678", "Kernel Smoothed NormH Prob Confi");
        EXPECT_EQ(text(c().label7), "8");
    }
    {
        SCOPED_TRACE("vertical threshold");
        step([&] { c().slider5->setValue(6); }, "678", "NormH Prob Confi");
        EXPECT_EQ(text(c().label23), "Threshold: 6 sample(s)");
    }
    {
        SCOPED_TRACE("horizontal threshold");
        step([&] { c().slider6->setValue(6); }, "78", "Prob Confi");
        EXPECT_EQ(text(c().label24), "Threshold: 6 sample(s)");
    }
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        step([&] { c().coefficientSliders[size_t(k)]->setValue(500 + 300 * k); }, "8", "Confi");
        EXPECT_EQ(text(c().label4[size_t(k)]), k == 0 ? "50" : "80");
    }
    {
        SCOPED_TRACE("skip");
        step([&] { click(c().check5); }, "678", "NormH Prob Confi");
        // Skipped, the horizontal normalisation passes the smoothed field through; Fig.6 stays
        // blank.
        EXPECT_EQ(std::memcmp(m().plane(Field::NormH).data(), m().plane(Field::Smoothed).data(),
                              sizeof(StageMatrix::Plane)),
                  0);
        EXPECT_EQ(fig(6).colourAt(1000, 1000, Px), White);
        EXPECT_EQ(fig(6).itemCount(), 0u);
    }
    {
        SCOPED_TRACE("vertical threshold while skipped");
        step([&] { c().slider5->setValue(9); }, "", "");
        EXPECT_EQ(text(c().label23), "Threshold: 9 sample(s)");
    }
    {
        SCOPED_TRACE("skip off");
        step([&] { click(c().check5); }, "678", "NormH Prob Confi");
    }
}

TEST_F(WorkflowTest, OverlaysToggleWithoutRecomputing) {
    runAll();
    const int x = 125;
    const int mode = w.session().columns().modeIndex[x];
    const int ave = w.session().columns().aveIndex[x];
    ASSERT_TRUE(mode != NoIndex && ave != NoIndex);
    const QColor red(255, 0, 0), blue(0, 0, 255);
    EXPECT_TRUE(near(8, cellX(x), cellY(mode), red));
    const auto before = snapshot();
    const ColumnResults columns = w.session().columns();
    stamp();

    click(c().check2); // mode off
    EXPECT_EQ(redrawn(), "8");
    EXPECT_FALSE(near(8, cellX(x), cellY(mode), red));
    EXPECT_TRUE(near(8, cellX(x), cellY(ave), blue));
    click(c().check6); // average off
    EXPECT_FALSE(near(8, cellX(x), cellY(ave), blue));
    // Only the region picture is left: the mode's cell shows its region colour.
    EXPECT_EQ(cellAt(8, x, mode), QColor(200, 255, 200));
    click(c().check2); // mode on
    EXPECT_TRUE(near(8, cellX(x), cellY(mode), red));
    EXPECT_FALSE(near(8, cellX(x), cellY(ave), blue));

    EXPECT_EQ(changed(before), "");
    EXPECT_EQ(w.session().columns().modeIndex, columns.modeIndex);
    EXPECT_EQ(w.session().columns().aveIndex, columns.aveIndex);
    for (int n = 3; n <= 8; ++n) {
        EXPECT_TRUE(drawn(n));
    }
}

} // namespace
} // namespace quendrix::test
