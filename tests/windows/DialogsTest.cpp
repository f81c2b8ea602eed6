#include "WindowFixture.h"

#include "app/CoefficientDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace quendrix::test {
namespace {

class DialogsTest : public WindowFixture {
  protected:
    /// Clicks coefficient k's caption and returns the dialog it opens.
    CoefficientDialog* open(int k) {
        click(c().label4[size_t(k)]);
        for (CoefficientDialog* d : w.findChildren<CoefficientDialog*>()) {
            if (d->isVisible()) {
                return d;
            }
        }
        return nullptr;
    }
    /// Types over the selected text and presses "OK".
    void typeAndOk(CoefficientDialog* d, const QString& text) {
        QTest::keyClicks(d->text1(), text);
        for (QPushButton* b : d->findChildren<QPushButton*>()) {
            if (b->text() == QStringLiteral("OK")) {
                click(b);
            }
        }
    }
};

TEST_F(DialogsTest, TypedCoefficientsSetCaptionAndSlider) {
    CoefficientDialog* d = open(0);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle().toStdString(), "New confidence coefficient (%)");
    EXPECT_EQ(text(d->text1()), "68.2");
    typeAndOk(d, QStringLiteral("90"));
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(text(c().label4[0]), "90");
    EXPECT_EQ(c().coefficientSliders[0]->value(), 900);

    // 2.5 tenths round to even; the typed text stays the caption.
    d = open(0);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(text(d->text1()), "90");
    typeAndOk(d, QStringLiteral("0.25"));
    EXPECT_EQ(text(c().label4[0]), "0.25");
    EXPECT_EQ(c().coefficientSliders[0]->value(), 2);

    // Beyond 100 % the slider cannot follow, so the caption is clamped with it.
    typeAndOk(open(0), QStringLiteral("150"));
    EXPECT_EQ(text(c().label4[0]), "100");
    EXPECT_EQ(c().coefficientSliders[0]->value(), 1000);
    EXPECT_EQ(text(c().label4[1]), "95.4");
}

TEST_F(DialogsTest, ActivatingTheMainWindowCommitsAnOpenDialog) {
    runAll();
    const auto before = snapshot();
    CoefficientDialog* d = open(1);
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == d; }));
    QTest::keyClicks(d->text1(), QStringLiteral("80"));
    EXPECT_EQ(text(c().label4[1]), "95.4");

    // The dialog shares its parent's activation, so wait for the main window itself.
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &w; }));
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(text(c().label4[1]), "80");
    EXPECT_EQ(c().coefficientSliders[1]->value(), 800);
    // The narrower outer region is computed at once.
    EXPECT_TRUE(drawn(8));
    EXPECT_EQ(changed(before), "Confi");
}

} // namespace
} // namespace quendrix::test
