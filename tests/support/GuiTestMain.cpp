#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>

#include <iostream>

int main(int argc, char** argv) {
    // Widgets need an application; tests never need a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // Window sizes and text positions depend on the font: the one tools/install-deps installs.
    const QString family = QStringLiteral("DejaVu Sans");
    QFont font = QApplication::font();
    font.setFamily(family);
    if (QFontInfo(font).family() != family) {
        std::cerr << "These tests need the font DejaVu Sans: run tools/install-deps.\n";
        return 1;
    }
    QApplication::setFont(font);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
