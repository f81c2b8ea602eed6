#pragma once

#include "base/Result.h"
#include "data/AxisRange.h"
#include "data/DataFile.h"
#include "data/Regression.h"
#include "export/CommonOutput.h"
#include "io/OutputFile.h"
#include "pipeline/DetailMatrices.h"
#include "pipeline/LevelSearch.h"
#include "pipeline/Normalization.h"
#include "pipeline/StageMatrix.h"
#include "readout/IntervalReadout.h"
#include "session/SessionState.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace quendrix {

/// The pipeline stages in their fixed order.
enum class Stage { GaussianModel, DescreteModel, Smoothing, NormalizeH, NormalizeV, Confidence };
inline constexpr int StageCount = 6;

/// The texts the main window shows and later reads back as numbers, with their start values.
struct Captions {
    std::array<std::string, 2> count{"0", "0"}; ///< N1, N2
    std::array<std::string, 2> correlation;     ///< R1, R2
    std::array<std::string, 2> xName;
    std::array<std::string, 2> yName;
    std::array<std::string, 2> path;
    std::string fittingLine; ///< of file 2, "y = 1 x + 1"
    std::string stdDev;      ///< of file 2 or of the generated model
    std::array<std::string, 2> coefficient{"68.2", "95.4"};
    std::string smoothing = "5";
    std::string lowerText; ///< the range boxes
    std::string upperText;
};

/// The settings the sliders and check boxes hold.
struct PipelineSettings {
    Coefficients coefficients;   ///< tenths of a per cent, 0..1000
    int smoothing = 5;           ///< 1..25 % of the range
    int verticalThreshold = 2;   ///< samples, 0..10, used by NormalizeH
    int horizontalThreshold = 2; ///< samples, 0..10, used by NormalizeV
    bool skip = false;           ///< bypass NormalizeH
    int modelPercent = 5;        ///< generated model's standard deviation, 1..20 % of the range
};

/// The calibration's data and workflow without any window: the imported files and their
/// statistics, the axis range and grid, the error model, the stage matrices and the detail
/// matrices. Every operation either completes or changes nothing and says why.
class CalibrationSession {
  public:
    CalibrationSession();

    const SessionState& state() const { return state_; }
    SessionState& state() { return state_; }
    const Captions& captions() const { return captions_; }
    const PipelineSettings& settings() const { return settings_; }
    const std::optional<DataFile>& file(int f) const { return files_[size_t(f)]; }
    const FileStatistics& statistics(int f) const { return stats_[size_t(f)]; }
    const std::optional<Grid>& grid() const { return grid_; }
    float rangeWidth() const { return rangeWidth_; }
    bool generatedModel() const { return generatedModel_; }
    /// File 2's line and deviation are the error model Start uses (unless the generated one).
    bool errorModelFromFile() const { return errorModelFromFile_; }
    const StageMatrix& matrix() const { return *matrix_; }
    const ColumnResults& columns() const { return columns_; }
    const UnitWeights& unitWeights() const { return unitWeights_; }
    /// The double-resolution matrices of the last buildDetail (all zero before the first).
    const DetailMatrices& detail() const;
    bool stageDone(Stage s) const { return done_[size_t(s)]; }
    bool detailBuilt() const { return detailBuilt_; }

    /// Imports data file f (0 = calibration samples, 1 = error data) as one transaction: the
    /// file is read, its statistics computed and the range proposed before anything is kept.
    /// `pathCaption` is what the window and the output file show as the file's name.
    Status importFile(int f, const std::string& path, const std::string& pathCaption);
    Status importData(int f, DataFile data, const std::string& pathCaption);

    /// The texts of the range boxes as typed; every change invalidates the pipeline.
    void setRangeTexts(const std::string& lower, const std::string& upper);
    /// Checks and commits the range in the boxes. Equal bounds are refused with
    /// "Please set valid range." and the last accepted texts come back; empty boxes commit
    /// nothing.
    Status validateRange();

    /// Switches the generated error model on (computing it at once) or off.
    Status setGeneratedModel(bool on);
    Status setModelPercent(int percent);

    /// A typed coefficient (leading-number rule, clamped to 0..100 %); k = 0 or 1.
    void setCoefficientText(int k, const std::string& typed);
    /// A coefficient slider value in tenths of a per cent, 0..1000. Settings invalidate the
    /// stages that use them only when they change.
    void setCoefficientSlider(int k, int tenths);
    void setSmoothing(int level);
    void setVerticalThreshold(int samples);
    void setHorizontalThreshold(int samples);
    void setSkip(bool skip);

    /// Runs one stage; its predecessors must be done.
    Status runStage(Stage s);
    /// Runs every stage from `first` to the confidence regions.
    Status runFrom(Stage first);
    /// What "Start" runs: everything not done yet, the error model from file 2 unless the
    /// generated model stands in for it.
    Status runAll();

    /// Why the computed confidence regions leave every cell of the range out, and what would
    /// change it; empty when a region shows or the regions are not computed.
    std::string emptyResult() const;

    /// Builds the double-resolution matrices from the current probabilities.
    Status buildDetail();
    /// The interval read-out of the calibration chart for a section slider value 0..100.
    Result<IntervalReadout> readout(int sectionPercent) const;

    /// The head note and the exported block of the common output format.
    CommonOutputHead outputHead() const;
    /// Refuses an output path that names one of the imported files, through links or hard
    /// links alike: "the output would replace file 1".
    Status checkOutputPath(const std::string& path) const;
    Status saveCommonOutput(const std::string& path) const;
    /// What saveCommonOutput writes, for a writer that puts several outputs in place together.
    Result<OutputProducer> commonOutput() const;

  private:
    void invalidateFrom(Stage s);
    void applyGeneratedModelOff();
    Status generateErrorModel();
    void setCoefficientTenths(int k, int tenths);
    Status checkFinite(Field f, Stage s);

    SessionState state_;
    Captions captions_;
    PipelineSettings settings_;
    std::array<std::optional<DataFile>, 2> files_;
    std::array<std::optional<FileIdentity>, 2> fileIdentities_;
    std::array<FileStatistics, 2> stats_{};
    bool errorModelFromFile_ = false; ///< file 2's line and deviation describe the current file 2
    std::string lastLower_;
    std::string lastUpper_;
    std::optional<Grid> grid_;
    float rangeWidth_ = 0;
    bool generatedModel_ = false;
    std::string savedCount2_;
    std::unique_ptr<StageMatrix> matrix_;
    ColumnResults columns_{};
    UnitWeights unitWeights_{};
    std::array<bool, StageCount> done_{};
    std::unique_ptr<DetailMatrices> detail_;
    bool detailBuilt_ = false;
};

} // namespace quendrix
