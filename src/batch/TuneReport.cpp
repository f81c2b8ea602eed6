#include "batch/TuneReport.h"

#include "base/NumberText.h"
#include "readout/JsonText.h"

#include <charconv>
#include <cstdio>

namespace quendrix {
namespace {

std::string percentText(const std::optional<double>& share) {
    return share ? fixedText(*share, 1) + " %" : std::string("-");
}

/// A word the shell passes on as it stands, quoted where it would not.
std::string shellWord(const std::string& word) {
    if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTU"
                                                "VWXYZ0123456789_-+=./,:@%") == std::string::npos) {
        return word;
    }
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string settingText(const TrialScore& t) {
    std::string s = "smoothing " + std::to_string(t.smoothing) + " %";
    if (t.modelPercent != 0) {
        s += ", model SD " + std::to_string(t.modelPercent) + " %";
    }
    return s + ", vertical threshold " + std::to_string(t.verticalThreshold) +
           ", horizontal threshold " + std::to_string(t.horizontalThreshold);
}

std::string trialJson(const TrialScore& t) {
    JsonObject o;
    o.number("smoothing", t.smoothing);
    o.raw("model_sd", t.modelPercent != 0 ? std::to_string(t.modelPercent) : "null");
    o.number("vthreshold", t.verticalThreshold);
    o.number("hthreshold", t.horizontalThreshold);
    o.raw("usable", t.usable ? "true" : "false");
    o.raw("log_score", t.usable ? shortestText(t.logScore) : "null");
    o.number("at_floor", t.atFloor);
    o.number("no_region", t.noRegion);
    o.number("pairs", t.pairs);
    o.raw("share_narrow", t.usable ? jsonShare(t.inNarrow, t.pairs) : "null");
    o.raw("share_wide", t.usable ? jsonShare(t.inWide, t.pairs) : "null");
    o.raw("within_tolerance", t.withinTolerance ? "true" : "false");
    return o.str();
}

} // namespace

Result<std::vector<int>> parseSettingList(const std::string& text) {
    const Failure refused{"'" + text + "' is not a list of whole numbers such as 1-5,8,10"};
    std::vector<int> values;
    size_t at = 0;
    auto number = [&](int& value) {
        const char* first = text.data() + at;
        const auto [end, ec] = std::from_chars(first, text.data() + text.size(), value);
        if (ec != std::errc{} || end == first || *first == '-' || *first == '+') {
            return false;
        }
        at = size_t(end - text.data());
        return true;
    };
    while (true) {
        int lo = 0;
        if (!number(lo)) {
            return refused;
        }
        int hi = lo;
        if (at < text.size() && text[at] == '-') {
            ++at;
            if (!number(hi) || hi < lo || hi - lo > 1000) {
                return refused;
            }
        }
        for (int v = lo; v <= hi; ++v) {
            values.push_back(v);
        }
        if (at == text.size()) {
            return values;
        }
        if (text[at] != ',') {
            return refused;
        }
        ++at;
    }
}

std::string tunedCommandLine(const BatchOptions& o, const TrialScore& t) {
    std::vector<std::string> words{"quendrix-batch", "--file1", o.file1};
    if (t.modelPercent != 0) {
        words.insert(words.end(), {"--model-sd", std::to_string(t.modelPercent)});
    } else {
        words.insert(words.end(), {"--file2", o.file2});
    }
    if (!o.range.empty()) {
        words.insert(words.end(), {"--range", o.range[0], o.range[1]});
    }
    words.insert(words.end(), {"--smoothing", std::to_string(t.smoothing), "--vthreshold",
                               std::to_string(t.verticalThreshold), "--hthreshold",
                               std::to_string(t.horizontalThreshold)});
    if (o.skip) {
        words.emplace_back("--skip");
    }
    if (o.coefficient1) {
        words.insert(words.end(), {"--c1", *o.coefficient1});
    }
    if (o.coefficient2) {
        words.insert(words.end(), {"--c2", *o.coefficient2});
    }
    std::string line;
    for (const std::string& w : words) {
        line += shellWord(w) + " ";
    }
    return line + "-o " + (o.output.empty() ? std::string("OUTPUT") : shellWord(o.output));
}

std::string tuneTable(const TuningResult& r, const BatchOptions& o) {
    const bool model = r.recommended().modelPercent != 0;
    std::string out = "Cross-validation: " + std::to_string(r.trials.size()) + " settings, " +
                      std::to_string(r.folds) + " folds of file 1's " + std::to_string(r.records) +
                      " complete records (seed " + o.seed + "), " + std::to_string(r.scored) +
                      " of them in the range\n";
    out += "log score: mean natural log of the probability of each held-out Y's cell in its "
           "X's column, at least log " +
           shortestText(ProbabilityFloor) +
           " (a cell of probability 0 or a column without a "
           "region)\n";
    // The model's column only where its deviation was searched.
    const auto row = [model](const std::string& smoothing, const std::string& sd,
                             const std::string& rest) {
        char line[64];
        std::snprintf(line, sizeof line, "%9s ", smoothing.c_str());
        std::string out = line;
        if (model) {
            std::snprintf(line, sizeof line, "%8s ", sd.c_str());
            out += line;
        }
        return out + rest;
    };
    char rest[200];
    std::snprintf(rest, sizeof rest, "%10s %10s %10s %8s %15s %15s\n", "vthreshold", "hthreshold",
                  "log score", "at floor",
                  (shortestText(r.narrowCoefficient) + " % region").c_str(),
                  (shortestText(r.wideCoefficient) + " % region").c_str());
    out += row("smoothing", "model SD", rest);
    for (const TrialScore& t : r.trials) {
        std::snprintf(rest, sizeof rest, "%10d %10d %10s %8d %15s %15s%s\n", t.verticalThreshold,
                      t.horizontalThreshold,
                      t.usable ? fixedText(t.logScore, 4).c_str() : "refused", t.atFloor,
                      percentText(t.usable ? t.narrowCoverage() : std::nullopt).c_str(),
                      percentText(t.usable ? t.wideCoverage() : std::nullopt).c_str(),
                      t.withinTolerance ? "" : "  (outside the tolerance)");
        out += row(std::to_string(t.smoothing) + " %", std::to_string(t.modelPercent) + " %", rest);
    }
    if (!r.refusal.empty()) {
        out += "refused: " + r.refusal + "\n";
    }
    const TrialScore& best = r.recommended();
    const std::string tolerance = shortestText(r.tolerance) + " points";
    out += r.toleranceMet()
               ? "Recommended, the best log score within " + tolerance + " of both coefficients: "
               : "No setting holds both regions within " + tolerance +
                     " of their coefficients; recommended by log score alone: ";
    out += settingText(best) + "\n" + tunedCommandLine(o, best) + "\n";
    return out;
}

std::string tuneJson(const TuningResult& r, const BatchOptions& o) {
    JsonObject j;
    j.number("folds", r.folds);
    j.raw("seed", o.seed);
    j.number("records", r.records);
    j.number("scored", r.scored);
    j.number("outside_range", r.outsideRange);
    j.number("floor", ProbabilityFloor);
    j.number("tolerance", r.tolerance);
    j.number("nominal_narrow", r.narrowCoefficient);
    j.number("nominal_wide", r.wideCoefficient);
    j.raw("tolerance_met", r.toleranceMet() ? "true" : "false");
    j.raw("recommended", trialJson(r.recommended()));
    j.text("command", tunedCommandLine(o, r.recommended()));
    std::string trials = "[";
    for (const TrialScore& t : r.trials) {
        if (trials.size() > 1) {
            trials += ',';
        }
        trials += trialJson(t);
    }
    j.raw("settings", trials + "]");
    if (!r.refusal.empty()) {
        j.text("refused", r.refusal);
    }
    return j.str() + "\n";
}

} // namespace quendrix
