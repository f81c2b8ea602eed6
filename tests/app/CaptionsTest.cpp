#include "ChartFixture.h"

namespace quendrix::test {
namespace {

using CaptionsTest = ChartFixture;

TEST_F(CaptionsTest, TheLineDrawnIsTheOneTheCaptionNames) {
    importBoth();
    // Each click shows or hides file 2's own line, as the box says.
    click(c().model.showFittingLine);
    EXPECT_TRUE(showsSession(2));
    click(c().model.showFittingLine);
    EXPECT_TRUE(showsSession(2));

    // The model's y = x goes with the model; file 2's points come back without a line to show.
    click(c().model.generateModel);
    click(c().model.generateModel);
    EXPECT_EQ(text(c().model.fittingLine), "");
    EXPECT_TRUE(drawn(2));
    EXPECT_FALSE(c().model.showFittingLine->isEnabled());
    c().model.showFittingLine->setChecked(true); // as if it could be clicked after all
    w.workflow().showFittingLineClicked();
    EXPECT_TRUE(showsSession(2));

    // A new range redraws Fig.2 without the line, and the box says so.
    import(1, ErrorCsv);
    click(c().model.showFittingLine);
    typeRange(c().range.upper, QStringLiteral("30"));
    c().file[0].importButton->setFocus();
    EXPECT_FALSE(c().model.showFittingLine->isChecked());
    EXPECT_TRUE(showsSession(2, 30));
}

TEST_F(CaptionsTest, TheStatusLineSaysWhatAnImportOrASettingCouldNotDoInOneStyle) {
    const QString bad = file("bad.csv", "X,Y\n1,2\n3,\n");
    import(0, bad);
    EXPECT_EQ(status(), "File 1 was not imported: line 3: empty Y value");
    import(0, CalibrationCsv);
    EXPECT_EQ(status(), "Imported calibration.csv");
    import(1, file("one.csv", "A,B\n1,2\n"));
    click(c().run.start);
    EXPECT_EQ(status().rfind("No error model: import file 2", 0), 0u) << status();
    c().smoothing.slider->setValue(7);
    EXPECT_EQ(status(), "");

    import(1, ErrorCsv);
    // A coefficient out of bounds or not a plain number says how it was taken; bounds are kept.
    const std::tuple<int, const char*, std::string> typed[] = {
        {0, "150", "Coefficient 1 was clipped to 100: a coefficient lies between 0 and 100 %"},
        {1, "95,4", "Coefficient 2: \"95,4\" was read as 95"},
        {1, "150 %",
         "Coefficient 2: \"150 %\" was read as 150 and clipped to 100: a coefficient "
         "lies between 0 and 100 %"},
        {1, "0", ""},
        {1, "100", ""}};
    for (const auto& [k, entry, said] : typed) {
        w.workflow().coefficientTyped(k, QString::fromLatin1(entry));
        EXPECT_EQ(status(), said) << entry;
    }
    EXPECT_EQ(text(c().coefficients.values[1]), "100");

    ASSERT_EQ(text(c().file[1].correlation, c().model.fittingLine, c().model.stdDev),
              "0.9888865|y = 0.972 x + 0.379|1.45313");
    // No spread of X: no line, no R, no deviation; not the previous file's.
    import(1, file("flat.csv", "A,B\n2,1\n2,3\n"));
    EXPECT_EQ(
        text(c().file[1].count, c().file[1].correlation, c().model.fittingLine, c().model.stdDev),
        "2|||");
    EXPECT_EQ(status(), "Imported flat.csv with no fitting line: all X values are equal");
    EXPECT_FALSE(c().model.showFittingLine->isEnabled());
    // No spread of Y: a line, but no R.
    import(1, file("level.csv", "A,B\n1,5\n3,5\n"));
    EXPECT_EQ(status(), "Imported level.csv with no correlation: all X or all Y values are equal");
    // Another convention is said first.
    import(1, file("decimal-comma.csv", "A;B\n1,5;2,5\n3,5;4\n"));
    EXPECT_EQ(status(), "Imported decimal-comma.csv, read as semicolon-separated, decimal comma");
    import(1, file("flat.tsv", "A\tB\n2\t1\n2\t3\n"));
    EXPECT_EQ(status(), "Imported flat.tsv, read as tab-separated, with no fitting line: all X "
                        "values are equal");

    // One form for every message, whatever its source wrote.
    EXPECT_EQ(StatusLine::sentence(QStringLiteral(" the range was not accepted. ")).toStdString(),
              "The range was not accepted");
}

TEST_F(CaptionsTest, AResultWithoutARegionAndTextsThatAreNotPlainNumbersSayWhy) {
    runAll();
    c().thresholds.horizontal->setValue(8);
    ASSERT_TRUE(drawn(8));
    EXPECT_EQ(status(), "The result is empty: no X column in the range holds the 8 sample(s) the "
                        "horizontal threshold asks for; at 7 or less some do");
    // The chart, which reads "Out of range" at every section, says why.
    ASSERT_NE(openFrom(8), nullptr);
    EXPECT_EQ(chartStatus().substr(0, 21), "The result is empty: ");
    w.workflow().chart().close();
    ASSERT_TRUE(activate(&w));
    // Saved all the same, in its one format, but not as if it were a calibration.
    dialogs.answerFile(path("empty.csv"));
    w.workflow().saveResult();
    EXPECT_EQ(status(), "Saved empty.csv, but the result is empty: no X column in the range holds "
                        "the 8 sample(s) the horizontal threshold asks for; at 7 or less some do");
    c().thresholds.horizontal->setValue(7);
    EXPECT_EQ(status(), "");

    // The axes show what the grid is built from; the status line says how the box was read.
    typeRange(c().range.lower, QStringLiteral("0,5"), Qt::Key_Return);
    EXPECT_EQ(status(), "From: \"0,5\" was read as 0");
    EXPECT_EQ(w.figures().box(8)->lowerText().toStdString(), "0");
    // Return hands on to the next step: the figure that computes everything again.
    EXPECT_EQ(QApplication::focusWidget(), &fig(3));
    typeRange(c().range.lower, QStringLiteral("-2.50"));
    typeRange(c().range.upper, QStringLiteral("abc"), Qt::Key_Return);
    EXPECT_EQ(status(), "To: \"abc\" was read as 0");
    EXPECT_EQ(w.figures().box(3)->lowerText().toStdString() + " .. " +
                  w.figures().box(3)->upperText().toStdString(),
              "-2.5 .. 0");
    typeRange(c().range.upper, QStringLiteral("40 "), Qt::Key_Return);
    EXPECT_EQ(status(), "");
    click(&fig(3));
    ASSERT_TRUE(drawn(8));
    ASSERT_NE(openFrom(8), nullptr);
    EXPECT_EQ(text(cc().label1[1], cc().label2[1]), "-2.5|40");
}

TEST_F(CaptionsTest, StartRefusesWithItsReasonAndHandsTheFocusToTheRemedy) {
    import(1, ErrorCsv);
    import(0, file("markers.csv", "X,Y\n-9999,1\n2,-9999\n"));
    EXPECT_EQ(status(), "Imported markers.csv with no complete record, so no statistics");
    // File 2 proposed the range; Start is offered and refuses with the reason.
    click(c().run.start);
    EXPECT_EQ(status(), "File 1 holds no complete record");
    EXPECT_FALSE(drawn(3)); // and so none after it
    EXPECT_EQ(QApplication::focusWidget(), c().file[0].importButton);

    import(0, file("letters.csv", "X,Y\n1,2\nn/a,3\n4,5\n6,-\n"));
    EXPECT_EQ(status(), "Imported letters.csv; File 1: 2 fields without a number were read as 0 "
                        "(first on line 3)");

    // A range without a sample of file 1.
    import(0, CalibrationCsv);
    typeRange(c().range.lower, QStringLiteral("100"));
    typeRange(c().range.upper, QStringLiteral("200"));
    click(c().run.start);
    EXPECT_EQ(status(), "No sample of file 1 lies within the axis range");
    EXPECT_EQ(figures(Drawn), "123");
    EXPECT_EQ(QApplication::focusWidget(), c().range.lower);
    // With a range around the samples, the next figure's click runs the rest.
    typeRange(c().range.lower, QStringLiteral("0"));
    typeRange(c().range.upper, QStringLiteral("40"), Qt::Key_Return);
    click(&fig(3));
    EXPECT_EQ(figures(Drawn), "12345678");
    EXPECT_EQ(status(), "");
}

} // namespace
} // namespace quendrix::test
