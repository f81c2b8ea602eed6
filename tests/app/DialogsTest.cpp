#include "WindowFixture.h"

#include "app/AboutBox.h"
#include "app/CoefficientDialog.h"
#include "app/MainMenus.h"

namespace quendrix::test {
namespace {

class DialogsTest : public WindowFixture {
  protected:
    /// Clicks coefficient k's caption and returns the dialog it opens, once that is active.
    CoefficientDialog* open(int k) {
        click(c().coefficients.values[size_t(k)]);
        return active<CoefficientDialog>();
    }
    /// Coefficient k's caption and slider, e.g. "80 800".
    std::string coefficient(int k) {
        return text(c().coefficients.values[size_t(k)]) + " " +
               std::to_string(c().coefficients.sliders[size_t(k)]->value());
    }
    /// Types over the selected text and clicks the dialog's one button, "OK".
    void typeAndOk(CoefficientDialog* d, const QString& text) {
        ASSERT_NE(d, nullptr);
        QTest::keyClicks(d->text1(), text);
        click(d->findChild<QPushButton*>());
    }
};

TEST_F(DialogsTest,
       EveryClickOpensTheDialogTypedCoefficientsCommitUnlessEscapedAndTheAboutBoxTakesTheKeyboard) {
    runAll();
    mark();
    CoefficientDialog* d = open(1);
    ASSERT_NE(d, nullptr);
    QTest::keyClicks(d->text1(), QStringLiteral("80"));
    EXPECT_EQ(coefficient(1), "95.4 954");
    // The dialog shares its parent's activation, so wait for the main window itself.
    ASSERT_TRUE(activate(&w));
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(coefficient(1), "80 800");
    // The narrower outer region is computed at once.
    EXPECT_EQ(changed(), "Confi");

    ASSERT_NE(d = open(0), nullptr);
    EXPECT_EQ(d->windowTitle().toStdString(), "New confidence coefficient (%)");
    EXPECT_EQ(text(d->text1()), "68.2");
    typeAndOk(d, QStringLiteral("90"));
    EXPECT_FALSE(d->isVisible());
    // Opened again it shows the caption; 2.5 tenths round to even, the typed text stays.
    ASSERT_NE(d = open(0), nullptr);
    EXPECT_EQ(text(d->text1()), "90");
    typeAndOk(d, QStringLiteral("0.25"));
    EXPECT_EQ(coefficient(0), "0.25 2");
    // Beyond 100 % the slider cannot follow, so the caption is clamped with it.
    typeAndOk(open(0), QStringLiteral("150"));
    EXPECT_EQ(coefficient(0) + " " + coefficient(1), "100 1000 80 800");
    // Closed with Return and opened again, the caption is selected: typing replaces it.
    for (const char* typed : {"70", "0.5"}) {
        ASSERT_NE(d = open(0), nullptr);
        QTest::keyClicks(d->text1(), QString::fromLatin1(typed));
        QTest::keyClick(d->text1(), Qt::Key_Return);
        EXPECT_EQ(text(c().coefficients.values[0]), typed);
    }

    // Escape leaves the coefficient as it was, also once back in the main window.
    mark();
    ASSERT_NE(d = open(0), nullptr);
    QTest::keyClicks(d->text1(), QStringLiteral("77"));
    QTest::keyClick(d->text1(), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    ASSERT_TRUE(activate(&w));
    EXPECT_EQ(coefficient(0), "0.5 5");
    EXPECT_EQ(changed(), "");
    // The close box still commits.
    ASSERT_NE(d = open(0), nullptr);
    QTest::keyClicks(d->text1(), QStringLiteral("77"));
    d->close();
    EXPECT_EQ(text(c().coefficients.values[0]), "77");

    // The about box takes the keyboard on opening and when shown again; Escape closes it.
    w.menus().about->trigger();
    AboutBox* about = active<AboutBox>();
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(activate(&w));
    w.menus().about->trigger();
    ASSERT_NE(active<AboutBox>(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(about->isVisible());

    // Every click opens the dialog for typing, whenever the main window's activation arrives.
    struct ActivateOnShow : QObject {
        QWidget* window = nullptr;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Show) {
                QEvent activate(QEvent::WindowActivate);
                QApplication::sendEvent(window, &activate);
            }
            return false;
        }
    } early;
    early.window = &w;
    for (int round = 1; round <= 4; ++round) {
        SCOPED_TRACE(round);
        CoefficientDialog* d = open(1);
        const QString typed = QStringLiteral("9%1").arg(round);
        typeAndOk(d, typed);
        ASSERT_EQ(text(c().coefficients.values[1]), typed.toStdString());
        // The activation handed back by the closed dialog may come after the reopening click, or
        // the click's own activation of the main window while the dialog shows: neither closes it.
        QEvent activate(QEvent::WindowActivate);
        if (round % 2 == 1) {
            QApplication::sendEvent(&w, &activate);
            d->installEventFilter(&early);
            click(c().coefficients.values[1]);
            d->removeEventFilter(&early);
        } else {
            click(c().coefficients.values[1]);
            QApplication::sendEvent(&w, &activate);
        }
        ASSERT_EQ(active<CoefficientDialog>(), d);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("80"));
        click(d->findChild<QPushButton*>());
        EXPECT_EQ(text(c().coefficients.values[1]), "80");
    }
    // Return on the focused caption opens it too.
    c().coefficients.values[0]->setFocus();
    QTest::keyClick(c().coefficients.values[0], Qt::Key_Return);
    EXPECT_NE(active<CoefficientDialog>(), nullptr);
}

} // namespace
} // namespace quendrix::test
