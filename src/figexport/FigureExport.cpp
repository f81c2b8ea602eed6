#include "figexport/FigureExport.h"

#include "base/NumberText.h"
#include "figexport/PngEncoder.h"
#include "figures/ChartFigures.h"
#include "figures/SessionFigures.h"
#include "figures/StageFigures.h"
#include "io/OutputSet.h"
#include "session/CalibrationSession.h"
#include "ui/Text.h"

#include <QGuiApplication>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <future>
#include <new>
#include <string>
#include <system_error>
#include <thread>

namespace quendrix {
namespace {

using ui::qs;

QString orDefault(const std::string& name, const char* fallback) {
    return name.empty() ? QString::fromLatin1(fallback) : qs(name);
}

QFont sheetFont() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(12);
    return font;
}

QString figureTitle(const CalibrationSession& session, int n) {
    const Captions& c = session.captions();
    switch (n) {
    case 1:
        return QStringLiteral("Fig.1  Calibration samples (file 1)");
    case 2:
        return session.generatedModel()
                   ? QStringLiteral("Fig.2  Error data: generated model y = x, SD = %1")
                         .arg(qs(c.stdDev))
                   : QStringLiteral("Fig.2  Error data (file 2)");
    case 3:
        return QStringLiteral("Fig.3  Error model");
    case 4:
        return QStringLiteral("Fig.4  Samples spread by the error model");
    case 5:
        return QStringLiteral("Fig.5  Smoothed, %1 % of the range").arg(qs(c.smoothing));
    case 6:
        return session.settings().skip ? QStringLiteral("Fig.6  Normalised along X (skipped)")
                                       : QStringLiteral("Fig.6  Normalised along X");
    case 7:
        return QStringLiteral("Fig.7  Probability inside the regions");
    default:
        break;
    }
    return QStringLiteral("Fig.8  Confidence regions %1 % and %2 %")
        .arg(qs(c.coefficient[0]), qs(c.coefficient[1]));
}

AxisCaptions axisCaptions(const CalibrationSession& session, int f, QString title) {
    const Captions& c = session.captions();
    const bool named = session.file(f) && !(f == 1 && session.generatedModel());
    return {std::move(title), named ? orDefault(c.xName[size_t(f)], "X") : QStringLiteral("X"),
            named ? orDefault(c.yName[size_t(f)], "Y") : QStringLiteral("Y"),
            qs(rangeLabel(c.lowerText)), qs(rangeLabel(c.upperText))};
}

} // namespace

Status figuresReady(const CalibrationSession& session) {
    for (int s = 0; s < StageCount; ++s) {
        if (!session.stageDone(Stage(s))) {
            return Failure{"the calibration has not run to its confidence regions"};
        }
    }
    if (!session.detailBuilt()) {
        return Failure{"the calibration chart has not been built"};
    }
    return {};
}

FigureSet::FigureSet(const CalibrationSession& session, int sectionPercent) {
    const Captions& c = session.captions();
    const double lo = leadingNumber(c.lowerText);
    const double hi = leadingNumber(c.upperText);
    drawSessionScatter(scenes_[0], session, 0, lo, hi);
    drawSessionScatter(scenes_[1], session, 1, lo, hi);
    if (session.file(1) && !session.generatedModel()) {
        drawSessionFittingLine(scenes_[1], session, lo, hi);
    }
    for (int k = 0; k < 6; ++k) {
        drawSessionStage(scenes_[size_t(k + 2)], session, k);
    }
    drawMaskedProbability(scenes_[6], session.matrix(), session.state().colour);
    drawSessionOverlays(scenes_[7], session, true, true);

    // The chart window's confidence view: its curves on, the marker at the section.
    const DetailMatrices& d = session.detail();
    const ColourRamp& ramp = session.state().colour;
    const int percent = enhancementPercent(ramp);
    ui::FigureScene& main = scenes_[8];
    drawChartFigure(main, d, ChartMode::Confidence, percent, ramp);
    drawChartCurves(main, d, true, true, ramp.greyScale);
    drawSectionMarker(main, sectionPercent, ramp.greyScale);
    drawSection(scenes_[9], d, sectionColumn(sectionPercent), percent, ramp.greyScale);
    if (auto r = session.readout(sectionPercent)) {
        readout_ = std::move(r).value();
    }

    const QFont font = sheetFont();
    for (int n = 1; n <= 8; ++n) {
        sheets_[size_t(n - 1)] =
            figureSheet(scenes_[size_t(n - 1)],
                        axisCaptions(session, n == 2 ? 1 : 0, figureTitle(session, n)), font);
    }
    const QString x = qs(shortestText(lo + (hi - lo) * (sectionPercent / 100.0)));
    sheets_[8] = chartSheet(
        main, scenes_[9], readout_ ? &*readout_ : nullptr,
        axisCaptions(session, 0,
                     QStringLiteral("Calibration chart, section at X = %1 (%2 % of the X axis)")
                         .arg(x)
                         .arg(sectionPercent)),
        font);
}

FigureSet::~FigureSet() = default;

Result<std::array<QByteArray, ExportedFigureCount>>
renderFigures(const CalibrationSession& session, FigureFormat format, int sectionPercent) {
    if (Status st = figuresReady(session); !st) {
        return st.failure();
    }
    const auto names = figureFileNames(format);
    // Which figure is being drawn, for the message when memory runs out: every allocation that
    // fails ends the export here, with nothing written.
    std::string drawing = "the figures";
    const auto noMemory = [&] {
        return Failure{drawing + " could not be drawn: not enough memory"};
    };
    std::array<QByteArray, ExportedFigureCount> files;
    try {
        if (!loadSheetFonts(sheetFont()) || !keepPaintingThread()) {
            return noMemory();
        }
        const FigureSet set(session, sectionPercent);
        if (format == FigureFormat::Png) {
            // The sheets are painted here, one after another; compressing the pictures takes
            // longer and needs nothing but their pixels, so it runs beside the painting, a few at
            // a time.
            const std::size_t inFlight = std::max(2u, std::thread::hardware_concurrency());
            std::deque<std::pair<int, std::future<QByteArray>>> pending;
            auto collect = [&] {
                drawing = names[size_t(pending.front().first)];
                files[size_t(pending.front().first)] = pending.front().second.get();
                pending.pop_front();
            };
            for (int i = 0; i < ExportedFigureCount; ++i) {
                if (pending.size() >= inFlight) {
                    collect();
                }
                drawing = names[size_t(i)];
                const QImage image = sheetImage(set.sheet(i));
                if (image.isNull()) {
                    return noMemory();
                }
                try {
                    pending.emplace_back(i, std::async(std::launch::async, encodePng, image));
                } catch (const std::system_error&) {
                    // No thread to be had (a limit on memory holds threads' stacks too).
                    files[size_t(i)] = encodePng(image);
                }
            }
            while (!pending.empty()) {
                collect();
            }
        } else {
            for (int i = 0; i < ExportedFigureCount; ++i) {
                drawing = names[size_t(i)];
                files[size_t(i)] = encodeSheet(set.sheet(i), format);
            }
        }
    } catch (const std::bad_alloc&) {
        return noMemory();
    }
    for (int i = 0; i < ExportedFigureCount; ++i) {
        if (files[size_t(i)].isEmpty()) {
            drawing = names[size_t(i)];
            return noMemory();
        }
    }
    return files;
}

Result<std::vector<std::string>> figureFileContents(const CalibrationSession& session,
                                                    const FigureRequest& request) {
    auto files = renderFigures(session, request.format, request.section);
    if (!files) {
        return files.failure();
    }
    std::vector<std::string> contents;
    for (const QByteArray& bytes : files.value()) {
        contents.emplace_back(bytes.constData(), size_t(bytes.size()));
    }
    return contents;
}

Status exportFigures(const CalibrationSession& session, const FigureRequest& request) {
    // Every target is checked and every figure drawn before the first file is put in place,
    // and then all of them are.
    OutputSet outputs;
    std::vector<size_t> targets;
    for (const std::string& name : figureFileNames(request.format)) {
        const std::string path = (std::filesystem::path(request.folder) / name).string();
        auto added = outputs.add(path, path, path, true);
        if (!added) {
            return added.failure();
        }
        targets.push_back(added.value());
    }
    auto files = figureFileContents(session, request);
    if (!files) {
        return files.failure();
    }
    for (size_t k = 0; k < targets.size(); ++k) {
        if (Status st = outputs.stage(targets[k], std::move(files.value()[k])); !st) {
            return st;
        }
    }
    return outputs.commit();
}

} // namespace quendrix
