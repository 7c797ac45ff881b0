#pragma once

// What every command of velmor-road shares: the options common to them, the road read from a
// design file (or the built-in road), the styles of its tables and where they go, and the
// messages on standard error.

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/utils/AtomicFileWriter.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>

#include "FileIo.h"
#include "RoadTool.h"
#include "TableFormat.h"
#include "Units.h"

namespace zel_math {
class CRoadCorridor;
}

namespace road {

namespace landxml = zel_landxml;

// In place of a file name: the built-in road.
inline constexpr const char* kBuiltin = "builtin";

// Options that every command shares.
struct Common {
    std::string alignment;
    std::string unit;  // empty: the file's own
    std::string out;   // empty: standard output
    bool csv = false;
    std::string angles = "dms";
    double stationLength = 0.0;  // 0: the unit's usual (1000 m, 100 ft)
    int stationDecimals = 2;
    std::string profile;  // empty: the first
};

// The road a command works on, with the unit, stations and interval of its file.
struct Design {
    CAlnt alnt;
    Unit fileUnit = Unit::Metre;
    landxml::Stationing stationing;
    double intervalM = NAN;  // the file's own station interval, when it gives one
    // The file as read (null for the built-in road) and the index of the alignment in use among
    // its alignments: the sections, superelevation and surfaces that go with it.
    std::shared_ptr<const landxml::Document> document;
    std::size_t alignmentIndex = 0;
    std::string path;  // the design file, for messages ("" for the built-in road)
    landxml::CoordinateSystem coordinateSystem;  // as the file names it (none: all empty)
};

void say(std::FILE* err, const std::string& text);
// Says why and returns the exit code.
int fail(std::FILE* err, const std::string& text, int code);
// "NAME must lie between LOW and HIGH", the bounds given in metres and shown in the unit the
// user reads and types.
std::string boundsMessage(const std::string& name, double lowM, double highM, Unit unit);
// A distance option in the output unit (NaN when not given), refused outside its bounds.
bool withinBounds(const char* name, double given, double lowM, double highM, Unit unit,
                  std::FILE* err);

Unit unitOf(landxml::LinearUnit u);
landxml::LinearUnit landXmlUnit(Unit u);
int readDocument(const std::string& path, landxml::Document& doc, std::FILE* err);
std::string refusalText(const std::string& path, const landxml::RefusedAlignment& r);
// The alignments a command works on: the one named, or all when `all`, or the first (saying
// so when there are others).
int chooseAlignments(const std::string& path, const landxml::Document& doc,
                     const std::string& wanted, bool all, std::FILE* err,
                     std::vector<const landxml::Alignment*>& chosen);
// Builds one alignment and tells the user how well the file's own end points agree with the
// computed geometry.
// False with the refusal (not yet said) when the geometry cannot be built.
bool buildReported(const std::string& path, const landxml::Alignment& in, Unit unit, std::FILE* err,
                   CAlnt& alnt, std::string& error);
// The road of a file (or the built-in road when `path` is empty or "builtin").
int loadDesign(const std::string& path, const Common& c, std::FILE* err, Design& d);
Unit outputUnit(const Common& c, const Design& d);
landxml::StationStyle stationStyle(const Common& c, Unit unit);
TableStyle tableStyle(const Common& c, Unit unit, const landxml::Stationing& stationing);

// Where a table goes: standard output, or a file written whole or not at all.
class Output {
public:
    Output(std::FILE* stdOut, const std::string& path) : stdOut_(stdOut) {
        if (!path.empty()) file_ = std::make_unique<CAtomicFileWriter>(path.c_str());
    }

    bool open(std::FILE* err) {
        if (!file_ || file_->IsOpen()) return true;
        say(err, file_->ErrorText());
        return false;
    }
    std::FILE* stream() const { return file_ ? file_->File() : stdOut_; }
    // Nothing of the table is kept when `keep` is false.
    bool finish(bool keep, std::FILE* err) {
        if (file_ && !keep) {
            file_->Abandon();
            return true;
        }
        std::string error;
        const bool ok = file_ ? file_->Commit() : finishStream(stdOut_, "standard output", error);
        if (!ok) say(err, file_ ? file_->ErrorText() : error);
        return ok;
    }

private:
    std::FILE* stdOut_;
    std::unique_ptr<CAtomicFileWriter> file_;
};

// The station interval in metres: the one given (output unit; NaN when not given), else the
// file's, else 20 m or 50 ft.
bool intervalOf(double given, Unit unit, const Design& d, double& intervalM, std::FILE* err);
// Offsets given in the output unit, in metres.
bool offsetsOf(const std::vector<double>& given, Unit unit, std::vector<double>& offsetsM,
               std::FILE* err);

}  // namespace road
