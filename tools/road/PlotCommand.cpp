#include "RoadCommands.h"

#include <ctime>
#include <optional>
#include <string>

#include "Plot.h"

namespace road {
std::string plotDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y-%m-%d", &local);
    return buf;
}

int runPlot(const PlotArgs& a, const Common& c, std::FILE* err) {
    const std::optional<PlotFormat> format = plotFormatOf(a.output);
    if (!format) return fail(err, "--out: the file must end in .svg, .pdf or .png", kExitUsage);
    if (!a.sections.empty()) return runSectionPlot(a, c, *format, err);
    Design d;
    const int code = loadDesign(a.file, c, err, d);
    if (code != kExitOk) return code;
    PlotOptions o;
    const Unit unit = outputUnit(c, d);
    if (!offsetsOf(a.offsets, unit, o.offsets, err) ||
        !intervalOf(a.interval, unit, d, o.intervalM, err))
        return kExitUsage;
    if (!a.paper.empty()) o.paper = *parsePaper(a.paper);
    o.metresPerUnit = metresPerUnit(unit);
    o.unitSymbol = unitSymbol(unit);
    o.stationing = d.stationing;
    o.stationStyle = stationStyle(c, unit);
    o.fileName = a.file == kBuiltin ? std::string() : a.file;
    o.date = plotDate();
    PlotModel model;
    std::string bytes, error;
    if (!layoutPlot(d.alnt, o, model, error))
        return fail(err, (a.file.empty() ? "built-in road" : a.file) + ": " + error, kExitBadInput);
    if (!renderPlot(model, *format, bytes, error))
        return fail(err, a.output + ": " + error, kExitFile);
    if (!writeFileAtomically(a.output, bytes, error)) return fail(err, error, kExitFile);
    return kExitOk;
}

}  // namespace road
