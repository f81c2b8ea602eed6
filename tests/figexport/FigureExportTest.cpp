#include "figexport/FigureExport.h"
#include "figexport/PngEncoder.h"
#include "session/CalibrationSession.h"
#include "ui/FigureScene.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <filesystem>
#include <map>
#include <random>

using namespace quendrix;
using namespace quendrix::test::examples;
namespace fs = std::filesystem;

static void calibrate(CalibrationSession& s, const std::string& one = Calibration,
                      const std::string& two = Error) {
    ASSERT_TRUE(s.importFile(0, one, one));
    ASSERT_TRUE(s.importFile(1, two, two));
    ASSERT_TRUE(s.runAll() && s.buildDetail());
}

class FigureExportTest : public testing::Test {
  protected:
    void SetUp() override { calibrate(session); }
    CalibrationSession session;
    test::TempDir dir{"quendrix_export_"};
};

TEST(PngEncoderTest, EveryPixelAndTheResolutionComeBack) {
    // Noise defeats flat-area shortcuts; odd sizes, one row and one column test the row filters.
    std::mt19937 rng(7);
    for (const QSize size : {QSize(37, 23), QSize(1, 9), QSize(9, 1), QSize(700, 3)}) {
        QImage image(size, QImage::Format_ARGB32);
        for (int i = 0; i < size.width() * size.height(); ++i) {
            image.setPixel(i % size.width(), i / size.width(), 0xff000000 | (rng() & 0xffffff));
        }
        image.setDotsPerMeterX(15118);
        image.setDotsPerMeterY(7559);
        const QImage back = QImage::fromData(encodePng(image), "PNG");
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32),
                  image.convertToFormat(QImage::Format_RGB32));
        EXPECT_EQ(std::pair(back.dotsPerMeterX(), back.dotsPerMeterY()), std::pair(15118, 7559));
    }
    EXPECT_TRUE(encodePng(QImage()).isEmpty());
}

TEST_F(FigureExportTest, WritesNineFilesOfEachFormatAtTheirSheetsSizeWithVectorsKeptSharp) {
    std::map<FigureFormat, std::vector<QByteArray>> files;
    for (const FigureFormat format : {FigureFormat::Png, FigureFormat::Svg, FigureFormat::Pdf}) {
        const fs::path folder = dir.path / extension(format);
        fs::create_directory(folder);
        ASSERT_TRUE(exportFigures(session, {folder.string(), format, 50}));
        // The nine files, read below by name, and nothing else.
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), ExportedFigureCount);
        for (const std::string& name : figureFileNames(format)) {
            files[format].push_back(QByteArray::fromStdString(test::slurp(folder / name)));
        }
    }
    const auto &svg = files[FigureFormat::Svg], &pdf = files[FigureFormat::Pdf];
    const FigureSet set(session, 50);
    for (size_t i = 0; i < ExportedFigureCount; ++i) {
        SCOPED_TRACE(i + 1);
        const QSize size = set.sheet(int(i)).size;
        const QImage png = QImage::fromData(files[FigureFormat::Png][i], "PNG");
        EXPECT_EQ(png.size(), size * PngScale);
        // 4 x 96 dots per inch: printed, the figure has its size on the screen.
        EXPECT_NEAR(png.dotsPerMeterX() * 0.0254, 384, 0.5);
        EXPECT_TRUE(QString::fromUtf8(svg[i]).contains(
            QStringLiteral("viewBox=\"0 0 %1 %2\"").arg(size.width()).arg(size.height())));
        EXPECT_TRUE(QString::fromUtf8(svg[i]).contains(
            QStringLiteral("<title>%1</title>").arg(set.sheet(int(i)).texts.front().text)));
        const auto box =
            QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
                .match(QString::fromLatin1(pdf[i]));
        ASSERT_TRUE(box.hasMatch());
        EXPECT_NEAR(box.captured(1).toDouble(), size.width() * 0.75, 1);
        EXPECT_NEAR(box.captured(2).toDouble(), size.height() * 0.75, 1);
    }

    // Fig.1: every complete record a vector circle, no picture; the captions as text.
    const QString fig1 = QString::fromUtf8(svg[0]);
    EXPECT_FALSE(fig1.contains(QStringLiteral("<image")));
    EXPECT_GE(fig1.count(QStringLiteral("<circle")), session.file(0)->completeCount);
    for (const char* caption : {"Fig.1", "Field reading (mg/L)", "Reference (mg/L)", ">40<"}) {
        EXPECT_TRUE(fig1.contains(QString::fromLatin1(caption))) << caption;
    }
    // A matrix is a picture, blown up so that a viewer's smoothing cannot blur its cells.
    const auto image = QRegularExpression(QStringLiteral("<image[^>]*width=\"([0-9.]+)\"[^>]*"
                                                         "base64,([A-Za-z0-9+/=]+)"))
                           .match(QString::fromUtf8(svg[2]));
    ASSERT_TRUE(image.hasMatch());
    const QImage embedded =
        QImage::fromData(QByteArray::fromBase64(image.captured(2).toLatin1()), "PNG");
    EXPECT_GE(embedded.width(), image.captured(1).toDouble() * 4);
    // The chart: the read-out's panel in words.
    for (const char* caption : {"68.2 %", "95.4 %", "Average", "Mode", "section at X = 20"}) {
        EXPECT_TRUE(QString::fromUtf8(svg[8]).contains(QString::fromLatin1(caption))) << caption;
    }
    // A PDF holds the scatter plot without any picture and Fig.3 with its matrix.
    EXPECT_TRUE(!pdf[0].contains("/Subtype /Image") && pdf[2].contains("/Subtype /Image"));
}

TEST_F(FigureExportTest, RefusesAnUnfinishedCalibrationAndNamesAFileItCannotWrite) {
    CalibrationSession fresh;
    ASSERT_TRUE(fresh.importFile(0, Calibration, Calibration));
    const std::string folder = (dir.path / "figs").string();
    fs::create_directory(folder);
    const Status st = exportFigures(fresh, {folder, FigureFormat::Png, 50});
    EXPECT_NE(st.reason().find("confidence regions"), std::string::npos) << st.reason();
    EXPECT_TRUE(fs::is_empty(folder));

    fs::create_directory(folder + "/fig5.png");
    const Status blocked = exportFigures(session, {folder, FigureFormat::Png, 50});
    EXPECT_NE(blocked.reason().find("fig5.png"), std::string::npos) << blocked.reason();
}

// Column names are header bytes read as Latin-1: any must reach each figure readable, valid XML.
TEST_F(FigureExportTest, ControlCharactersMarkupAndLatin1InNamesGiveWellFormedFigures) {
    const auto renamed = [&](const std::string& from, const std::string& header) {
        const std::string bytes = test::slurp(from);
        return dir.file(fs::path(from).filename().string(),
                        header + "\r\n" + bytes.substr(bytes.find('\n') + 1));
    };
    ASSERT_NO_FATAL_FAILURE(
        calibrate(session, renamed(Calibration, "Field\x01reading <b>&amp; \xe9\x1b,Ref\x0c\xb5g"),
                  renamed(Error, "A\x7f\x85 <1>,\x0c")));
    const QString x1 = QString::fromUtf8("Field\uFFFDreading <b>&amp; \u00e9\uFFFD");
    const QString y1 = QString::fromUtf8("Ref\uFFFD\u00b5g");
    const QString x2 = QString::fromUtf8("A\uFFFD\uFFFD <1>");

    const auto svg = renderFigures(session, FigureFormat::Svg, 50).value();
    for (int i = 0; i < ExportedFigureCount; ++i) {
        SCOPED_TRACE(i + 1);
        QXmlStreamReader xml(svg[size_t(i)]);
        QString texts;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text") {
                texts += xml.readElementText();
            }
        }
        ASSERT_FALSE(xml.hasError())
            << xml.errorString().toStdString() << " at line " << xml.lineNumber();
        // Fig.2 is file 2's; a text may come in pieces where the font changes.
        EXPECT_TRUE(i == 1 ? texts.contains(x2) : texts.contains(x1) && texts.contains(y1))
            << texts.toStdString();
    }
}

// Too large an image comes null, as one without memory does: the figure must fail whole, not crash.
TEST(FigureMemoryTest, PixelsThatCannotBeHadFailTheFigureWhole) {
    // Four times as wide, as a PNG draws it, a row needs 2^35 bits: more than an image holds.
    const QSize tooWide(1 << 28, 4);
    const AxisCaptions captions{QStringLiteral("Title"), QStringLiteral("X"), QStringLiteral("Y"),
                                QStringLiteral("0"), QStringLiteral("40")};
    QFont font = QApplication::font();
    font.setPixelSize(12);
    ui::FigureScene surface;
    surface.cell(100, 100, Qt::red);
    const FigureSheet sheet = figureSheet(surface, captions, font);
    EXPECT_TRUE(surface.render(tooWide * PngScale).isNull());
    FigureSheet wide = sheet;
    wide.size = tooWide;
    EXPECT_TRUE(sheetImage(wide).isNull() && encodeSheet(wide, FigureFormat::Png).isEmpty());
    // The page can be had but not the figure's own picture on it.
    FigureSheet wideFigure = sheet;
    wideFigure.surfaces[0].box.setWidth(tooWide.width());
    EXPECT_TRUE(sheetImage(wideFigure).isNull());

    // A cell grid that cannot be had leaves the figure incomplete until it is covered.
    surface.setCellSize(1e-6);
    surface.cell(100, 100, Qt::blue);
    EXPECT_FALSE(surface.complete());
    for (const FigureFormat format : {FigureFormat::Png, FigureFormat::Svg, FigureFormat::Pdf}) {
        EXPECT_TRUE(encodeSheet(sheet, format).isEmpty()) << extension(format);
    }
    surface.makePersistent();
    EXPECT_FALSE(surface.complete());
    surface.fillAll(Qt::white);
    EXPECT_TRUE(surface.complete());
    surface.image(QImage(tooWide, QImage::Format_RGB32), 0, 0, 10, 10);
    EXPECT_FALSE(surface.complete());
}
