#include "WindowFixture.h"

#include <QDropEvent>
#include <QProgressBar>

namespace quendrix::test {
namespace {

using MainWindowTest = WindowFixture;

TEST_F(MainWindowTest, StartsEmptyThenImportsBothFilesAndRefusesBadOnes) {
    EXPECT_EQ(w.windowTitle().toStdString(), "Quendrix 3.0");
    EXPECT_EQ(text(c().file[0].count, c().file[1].count, c().coefficients.values[0],
                   c().coefficients.values[1], c().smoothing.value, c().thresholds.verticalCaption,
                   c().thresholds.horizontalCaption, c().range.lower, c().range.upper),
              "0|0|68.2|95.4|5|Threshold: 2 sample(s)|Threshold: 2 sample(s)||");
    EXPECT_EQ(figures(Enabled), "");
    EXPECT_FALSE(c().run.start->isEnabled() || c().model.showFittingLine->isEnabled() ||
                 c().coefficients.showMode->isEnabled() || c().model.generateModel->isEnabled() ||
                 c().coefficients.showAverage->isEnabled() || c().model.generateModel->isChecked());
    EXPECT_FALSE(c().model.modelSlider->isVisible() || c().run.progress->isVisible());
    // With nothing drawn a setting only updates its caption.
    c().smoothing.slider->setValue(7);
    EXPECT_EQ(text(c().smoothing.value), "7");
    EXPECT_FALSE(drawn(3));

    import(0, CalibrationCsv);
    // File 1 alone proposes both bounds: its data 1.4 .. 36.51 round out to 0 .. 40.
    EXPECT_EQ(text(c().file[0].count, c().range.lower, c().range.upper), "300|0|40");
    EXPECT_EQ(figures(Drawn), "1");
    EXPECT_TRUE(c().model.generateModel->isEnabled() && !c().run.start->isEnabled());

    import(1, ErrorCsv);
    EXPECT_EQ(text(c().file[1].count, c().file[1].xName), "150|Analysis 1 (mg/L)");
    EXPECT_EQ(figures(Drawn) + " " + figures(Enabled), "12 123");
    EXPECT_TRUE(c().run.start->isEnabled() && c().model.showFittingLine->isEnabled());

    // A cancelled dialog and a bad file change nothing.
    mark();
    const int shown = dialogs.fileDialogsShown();
    click(c().file[1].importButton);
    EXPECT_EQ(dialogs.fileDialogsShown(), shown + 1);
    const QString bad = file("bad.csv", "X,Y\n1,2\n3,\n5,6\n");
    for (int f = 0; f < 2; ++f) {
        SCOPED_TRACE(f);
        import(f, bad);
        EXPECT_EQ(text(c().file[0].count, c().file[1].count, c().range.lower, c().range.upper),
                  "300|150|0|40");
        EXPECT_EQ(c().file[size_t(f)].path->text(), f == 0 ? CalibrationCsv : ErrorCsv);
        EXPECT_EQ(figures(Drawn) + " " + figures(Redrawn), "12 ");
        EXPECT_TRUE(c().run.start->isEnabled());
    }

    // The proposal for 12 .. 180 survives the range change its lower bound's writing runs.
    import(0, file("wide.csv", "X,Y\n12,15\n180,170\n"));
    EXPECT_EQ(text(c().range.lower, c().range.upper), "10|200");
}

TEST_F(MainWindowTest, StartRunsEveryStageOnceAndRangeEditsUndoThem) {
    runAll();
    EXPECT_EQ(figures(Drawn) + " " + figures(Enabled), "12345678 12345678");
    EXPECT_TRUE(!c().run.start->isEnabled() && c().coefficients.showMode->isEnabled() &&
                c().coefficients.showAverage->isEnabled());

    // A second "Start" with Fig.3 drawn (and no generated model) does nothing.
    mark();
    w.workflow().start();
    EXPECT_EQ(figures(Redrawn), "");

    const QColor background = w.palette().color(QPalette::Window);
    ASSERT_NE(background, White);
    const int mode = w.session().columns().modeIndex[125]; // a cell inside the regions
    auto cell = [&](int n) { return fig(n).colourAt(cellX(125), cellY(mode), Px); };
    ASSERT_NE(cell(5), White);
    // Typing undoes the stages at once; scatter figures and axis labels wait for the commit.
    auto labels = [&] {
        std::string out;
        for (int n = 1; n <= 8; ++n) {
            const FigureBox* box = w.figures().box(n);
            out += box->lowerText().toStdString() + ".." + box->upperText().toStdString() + " ";
        }
        return out;
    };
    typeRange(c().range.upper, QStringLiteral("30"));
    EXPECT_EQ(labels(), "0..40 0..40 0..40 0..40 0..40 0..40 0..40 0..40 ");
    EXPECT_EQ(figures(Redrawn) + " " + figures(Drawn) + " " + figures(Enabled), "345678 12 123");
    EXPECT_EQ(cell(5), White);
    EXPECT_EQ(cell(8), background); // blank, not its region picture

    c().file[0].importButton->setFocus(); // leaving the box commits the range
    EXPECT_EQ(labels(), "0..30 0..30 0..30 0..30 0..30 0..30 0..30 0..30 ");
    EXPECT_EQ(figures(Redrawn), "12345678");
    EXPECT_TRUE(showsSession(1, 30));

    // Equal bounds: one message, and the last accepted texts come back.
    typeRange(c().range.upper, QStringLiteral("0"));
    c().file[0].importButton->setFocus();
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Error: Please set valid range.")});
    EXPECT_EQ(text(c().range.lower, c().range.upper), "0|30");

    // Reversed bounds are a valid, mirrored range.
    typeRange(c().range.lower, QStringLiteral("50"));
    c().file[0].importButton->setFocus();
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(labels(), "50..30 50..30 50..30 50..30 50..30 50..30 50..30 50..30 ");
    click(&fig(3));
    EXPECT_TRUE(drawn(8));
}

using WorkflowTest = WindowFixture;

TEST_F(WorkflowTest, GeneratedModelStandsInForFileTwoAndEachControlRecomputesItsStages) {
    importBoth();
    click(c().model.generateModel);
    // The model's standard deviation is 5 % of the range 0..40.
    EXPECT_EQ(text(c().model.fittingLine, c().model.stdDev, c().model.modelCaption),
              "y = x|2|Std.Dev.: 5 % of range");
    EXPECT_TRUE(c().model.modelSlider->isVisible() && !c().file[1].importButton->isEnabled());
    EXPECT_EQ(figures(Drawn), "13");

    mark();
    c().model.modelSlider->setValue(6);
    EXPECT_EQ(text(c().model.modelCaption, c().model.stdDev), "Std.Dev.: 6 % of range|2.4");
    EXPECT_EQ(changed(), "Model");
    EXPECT_TRUE(showsSession(3));
    click(&fig(4)); // the next step: its click runs the rest with the model
    EXPECT_TRUE(drawn(8));

    click(c().model.generateModel);
    EXPECT_EQ(text(c().file[1].count), "150");
    EXPECT_TRUE(c().file[1].importButton->isEnabled());
    EXPECT_EQ(figures(Drawn), "12");
    // File 2's line went with the model: the Gaussian model refuses until file 2 comes back.
    click(&fig(3));
    EXPECT_FALSE(drawn(3));
    EXPECT_NE(status().find("file 2"), std::string::npos) << status();
    import(1, ErrorCsv);
    click(&fig(3));
    EXPECT_TRUE(drawn(8));

    auto step = [&](QWidget* control, int v, const char* redraws, const char* fields) {
        mark();
        auto* slider = qobject_cast<QSlider*>(control);
        slider ? slider->setValue(v) : click(control);
        EXPECT_EQ(figures(Redrawn) + " " + changed(), std::string(redraws) + " " + fields);
        EXPECT_EQ(figures(Drawn), c().thresholds.skip->isChecked() ? "1234578" : "12345678");
    };
    // The overlays toggle without recomputing, Fig.8 showing those the boxes ask for.
    for (QCheckBox* overlay :
         {c().coefficients.showMode, c().coefficients.showAverage, c().coefficients.showMode}) {
        step(overlay, 0, "8", "");
        EXPECT_TRUE(showsSession(8));
    }

    step(c().smoothing.slider, 8, "5678", "Kernel Smoothed NormH Prob Confi");
    step(c().thresholds.vertical, 6, "678", "NormH Prob Confi");
    EXPECT_EQ(text(c().thresholds.verticalCaption), "Threshold: 6 sample(s)");
    step(c().thresholds.horizontal, 6, "78", "Prob Confi");
    EXPECT_EQ(text(c().thresholds.horizontalCaption), "Threshold: 6 sample(s)");
    // The regions mask Fig.7, so it is repainted with them.
    step(c().coefficients.sliders[0], 500, "78", "Confi");
    step(c().coefficients.sliders[1], 800, "78", "Confi");
    EXPECT_EQ(text(c().coefficients.values[0], c().coefficients.values[1]), "50|80");
    step(c().thresholds.skip, 0, "678", "NormH Prob Confi"); // skipped, Fig.6 stays blank
    EXPECT_EQ(fig(6).itemCount(), 0u);
    step(c().thresholds.vertical, 9, "", "");
    step(c().thresholds.skip, 0, "678", "NormH Prob Confi");
}

using DesktopTest = WindowFixture;

TEST_F(DesktopTest, ADroppedFileImportsIntoTheFileWhoseHalfItFallsOn) {
    const QString one = file("one.csv", "A,B\n1,2\n3,4\n5,7\n");
    const auto drop = [&](const QList<QUrl>& urls, double x) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(int(x), 100), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&w, &enter);
        QDropEvent event(QPointF(x, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
        if (enter.isAccepted()) {
            QApplication::sendEvent(&w, &event);
        }
        return enter.isAccepted();
    };
    EXPECT_TRUE(drop({QUrl::fromLocalFile(one)}, w.width() * 0.75));
    EXPECT_EQ(w.session().captions().count[1], "3");
    EXPECT_TRUE(drop({QUrl::fromLocalFile(one)}, w.width() * 0.25));
    EXPECT_EQ(w.session().captions().count[0], "3");
    EXPECT_EQ(w.windowTitle().toStdString(), "one.csv - Quendrix 3.0");
    // Anything but one local file is not taken.
    EXPECT_FALSE(drop({QUrl::fromLocalFile(one), QUrl::fromLocalFile(CalibrationCsv)}, 10));
}

} // namespace
} // namespace quendrix::test
