#include "RoadCommands.h"

#include <string>

#include <CLI/CLI.hpp>

#include "CurveTable.h"

namespace road {

int runCurve(CLI::App* cmd, double radius, double length, const Common& c, std::FILE* out,
             std::FILE* err) {
    if (cmd->count("RADIUS") != cmd->count("LENGTH"))
        return fail(err, "curve: give both RADIUS and LENGTH, or neither", kExitUsage);
    const Unit unit = c.unit.empty() ? Unit::Metre : *parseUnit(c.unit);
    if (cmd->count("RADIUS") == 0) {
        radius = fromMetres(kExampleRadius, unit);
        length = fromMetres(kExampleLength, unit);
    }
    std::string error;
    if (!checkCurve(radius, length, error, unit)) return fail(err, "curve: " + error, kExitUsage);
    printCurveTable(out, radius, length, unit);
    std::string writeError;
    if (!finishStream(out, "standard output", writeError)) return fail(err, writeError, kExitFile);
    return kExitOk;
}

}  // namespace road
