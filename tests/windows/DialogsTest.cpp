#include "WindowFixture.h"

#include "app/CoefficientDialog.h"

namespace quendrix::test {
namespace {

using DialogsTest = WindowFixture;

TEST_F(DialogsTest, TypedCoefficientsCommitOnActivationOrOkAndAreClamped) {
    // Clicks coefficient k's caption and returns the dialog it opens, once that is active.
    auto open = [&](int k) {
        click(c().coefficients.values[size_t(k)]);
        CoefficientDialog* d = nullptr;
        const auto active = [&] {
            return (d = qobject_cast<CoefficientDialog*>(QApplication::activeWindow())) != nullptr;
        };
        return QTest::qWaitFor(active) ? d : nullptr;
    };
    // Types over the selected text and clicks the dialog's one button, "OK".
    auto typeAndOk = [&](CoefficientDialog* d, const QString& text) {
        ASSERT_NE(d, nullptr);
        QTest::keyClicks(d->text1(), text);
        click(d->findChild<QPushButton*>());
    };
    runAll();
    mark();
    CoefficientDialog* d = open(1);
    ASSERT_NE(d, nullptr);
    QTest::keyClicks(d->text1(), QStringLiteral("80"));
    EXPECT_EQ(text(c().coefficients.values[1]), "95.4");
    // The dialog shares its parent's activation, so wait for the main window itself.
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &w; }));
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(text(c().coefficients.values[1]), "80");
    EXPECT_EQ(c().coefficients.sliders[1]->value(), 800);
    // The narrower outer region is computed at once.
    EXPECT_EQ(changed(), "Confi");

    d = open(0);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle().toStdString(), "New confidence coefficient (%)");
    EXPECT_EQ(text(d->text1()), "68.2");
    typeAndOk(d, QStringLiteral("90"));
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(text(c().coefficients.values[0]), "90");
    EXPECT_EQ(c().coefficients.sliders[0]->value(), 900);
    // 2.5 tenths round to even; the typed text stays the caption.
    d = open(0);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(text(d->text1()), "90");
    typeAndOk(d, QStringLiteral("0.25"));
    EXPECT_EQ(text(c().coefficients.values[0]), "0.25");
    EXPECT_EQ(c().coefficients.sliders[0]->value(), 2);
    // Beyond 100 % the slider cannot follow, so the caption is clamped with it.
    typeAndOk(open(0), QStringLiteral("150"));
    EXPECT_EQ(text(c().coefficients.values[0]), "100");
    EXPECT_EQ(c().coefficients.sliders[0]->value(), 1000);
    EXPECT_EQ(text(c().coefficients.values[1]), "80");
    // Closed with Return and opened again, the caption is selected: typing replaces it.
    for (const char* typed : {"70", "0.5"}) {
        d = open(0);
        ASSERT_NE(d, nullptr);
        QTest::keyClicks(d->text1(), QString::fromLatin1(typed));
        QTest::keyClick(d->text1(), Qt::Key_Return);
        EXPECT_EQ(text(c().coefficients.values[0]), typed);
    }
}

} // namespace
} // namespace quendrix::test
