#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <iostream>
#include <optional>

namespace {

// Every test starts without remembered files, folders or window places, and none is written
// to the user's own settings.
class FreshSettings : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        folder_.emplace();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_->path());
    }
    std::optional<QTemporaryDir> folder_;
};

} // namespace

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
    testing::UnitTest::GetInstance()->listeners().Append(new FreshSettings);
    return RUN_ALL_TESTS();
}
