#include <velmorutils/landxml/StakePoints.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sstream>

#include <velmorutils/landxml/StakeoutStations.h>
#include <velmorutils/landxml/XmlText.h>
#include <velmorutils/zelmath/alignment/AlntEvaluation.h>
#include <velmorutils/zelmath/sections/SectionProfile.h>

#include "landxml/CoordinateSystemXml.h"
#include "landxml/SectionQueries.h"

namespace zel_landxml {
namespace {

// Offsets closer to 0 than this are the centre line.
constexpr double kOnCentreLineM = 0.0005;

std::string fixedText(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string s = buf;
    // "-0.00" is a zero.
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

// The code of a stake at a station: the key point's own on the centre line ("Start" and "End"
// are the centre line to a crew), "CL" elsewhere on it, the section point's code at a coded
// offset, else "O".
std::string stakeCode(const TAlntStakeoutStation& st, double offsetM, const std::string& section) {
    if (std::fabs(offsetM) < kOnCentreLineM) {
        const std::string key = st.code;
        return key.empty() || key == "Start" || key == "End" ? "CL" : key;
    }
    return section.empty() ? "O" : section;
}

struct Sink {
    const StakePointOptions& o;
    std::vector<StakePoint>& points;
    std::string& error;
    long long next;

    bool add(const TAlntStakeoutStation& st, const TAlntEval& at, const std::string& station,
             double offsetM, double heightM, const std::string& code) {
        if (points.size() >= kMaxStakePoints)
            return error = "more than " + std::to_string(kMaxStakePoints) + " stake points", false;
        if (next > kMaxPointNumber)
            return error = "point numbers beyond " + std::to_string(kMaxPointNumber), false;
        StakePoint p;
        p.number = next++;
        p.chainage = st.chainageInM;
        p.offset = offsetM;
        alntOffsetPoint(at, offsetM, p.north, p.east);
        p.height = heightM;
        p.code = code;
        p.station = station;
        p.description = stakeDescription(code, offsetM, station, st.side, o.style);
        points.push_back(std::move(p));
        return true;
    }
};

bool stakeStation(const CAlnt& alnt, const Stationing& stationing, const TAlntStakeoutStation& st,
                  Sink& sink) {
    const StakePointOptions& o = sink.o;
    TAlntEval at;
    const std::string station = stakeoutStationText(stationing, st, o.style);
    if (!evaluateStakeoutStation(alnt, st, at))
        return sink.error = "no position at station " + station, false;
    const double clHeight = at.hasHeight ? at.height : kNone;
    for (const double off : o.offsets) {
        double h = clHeight;
        std::string section;
        if (o.corridor != nullptr) sectionAtOffset(*o.corridor, st.chainageInM, off, h, section);
        if (!sink.add(st, at, station, off, h, stakeCode(st, off, section))) return false;
    }
    if (o.codes.empty()) return true;
    for (const zel_math::TSectionPoint& p : codedPoints(*o.corridor, st.chainageInM, o.codes))
        if (!sink.add(st, at, station, p.offset, p.height, p.code)) return false;
    return true;
}

}  // namespace

std::string stakeDescription(const std::string& code, double offsetM, const std::string& station,
                             TAlntJointSide side, const StationStyle& style) {
    std::string d = code;
    const bool onLine = std::fabs(offsetM) < kOnCentreLineM;
    if (code == "O") d += " " + fixedText(std::fabs(fromMetres(offsetM, style.unit)), 2);
    if (!onLine) d += offsetM < 0.0 ? " L" : " R";
    d += " " + station;
    if (side != TAlntJointSide::none) d += std::string(" ") + alntJointSideText(side);
    return d;
}

bool stakePoints(const CAlnt& alnt, const Stationing& stationing, const StakePointOptions& options,
                 std::vector<StakePoint>& points, std::string& error) {
    points.clear();
    if (!options.codes.empty() && options.corridor == nullptr)
        return error = "codes are staked from a section model, and the design has none", false;
    if (options.startNumber < 0 || options.startNumber > kMaxPointNumber)
        return error = "the first point number must lie between 0 and " +
                       std::to_string(kMaxPointNumber),
               false;
    const std::vector<TAlntStakeoutStation> stations = alntStakeoutStations(alnt, options.request);
    if (stations.empty())
        return error = "no station of the road lies in the range asked for", false;
    Sink sink{options, points, error, options.startNumber};
    for (const TAlntStakeoutStation& st : stations)
        if (!stakeStation(alnt, stationing, st, sink)) return points.clear(), false;
    return true;
}

bool pointFormatFromText(const std::string& text, PointFormat& format) {
    if (text == "pnezd") return format = PointFormat::Pnezd, true;
    if (text == "penzd") return format = PointFormat::Penzd, true;
    if (text == "landxml") return format = PointFormat::LandXml, true;
    return false;
}

namespace {

std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"") == std::string::npos) return s;
    std::string out = "\"";
    for (const char c : s)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// LandXML 1.2 requires the date and time a file was made (UTC here).
std::string nowAttributes() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char buf[64];
    std::strftime(buf, sizeof buf, "date=\"%Y-%m-%d\" time=\"%H:%M:%S\"", &utc);
    return buf;
}

// Each point's north and east fields as the file writes them.
using CoordinateText = std::function<std::pair<std::string, std::string>(std::size_t)>;

// The file's layout: its Units' linear unit (of the coordinates unless they are degrees, and of
// the heights), its CoordinateSystem and each point's coordinate text.
struct FileLayout {
    LinearUnit unit = LinearUnit::Meter;
    const CoordinateSystem* cs = nullptr;
    CoordinateText coordinates;
};

std::string landXmlText(const std::vector<StakePoint>& points, const FileLayout& f) {
    const bool metric = f.unit == LinearUnit::Meter;
    std::ostringstream x;
    x << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\" "
      << nowAttributes() << ">\n"
      << "  <Units>\n"
      << "    <" << (metric ? "Metric" : "Imperial") << " linearUnit=\"" << unitName(f.unit)
      << "\" areaUnit=\"" << (metric ? "squareMeter" : "squareFoot") << "\" volumeUnit=\""
      << (metric ? "cubicMeter" : "cubicFeet")
      << "\" angularUnit=\"decimal degrees\" directionUnit=\"decimal degrees\"/>\n"
      << "  </Units>\n";
    if (f.cs->present()) x << "  " << coordinate_system_xml::write(*f.cs) << "\n";
    x << "  <Application name=\"velmor-road\" manufacturer=\"velmorutils\"/>\n"
      << "  <CgPoints name=\"stake points\">\n";
    for (std::size_t i = 0; i < points.size(); ++i) {
        const StakePoint& p = points[i];
        const auto [n, e] = f.coordinates(i);
        x << "    <CgPoint name=\"" << p.number << "\" code=\"" << xmlText(p.code) << "\" desc=\""
          << xmlText(p.description) << "\">" << n << " " << e;
        if (std::isfinite(p.height)) x << " " << fixedText(fromMetres(p.height, f.unit), 3);
        x << "</CgPoint>\n";
    }
    x << "  </CgPoints>\n</LandXML>\n";
    return x.str();
}

std::string delimitedText(const std::vector<StakePoint>& points, PointFormat format,
                          LinearUnit heightUnit, const CoordinateText& coordinates) {
    std::string out;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const StakePoint& p = points[i];
        const auto [n, e] = coordinates(i);
        out += std::to_string(p.number) + ",";
        out += format == PointFormat::Pnezd ? n + "," + e : e + "," + n;
        out += ",";
        if (std::isfinite(p.height)) out += fixedText(fromMetres(p.height, heightUnit), 3);
        out += "," + csvField(p.description) + "\n";
    }
    return out;
}

}  // namespace

std::string pointFileText(const std::vector<StakePoint>& points, PointFormat format,
                          LinearUnit unit, const CoordinateSystem& cs) {
    const CoordinateText design = [&](std::size_t i) {
        return std::pair{fixedText(fromMetres(points[i].north, unit), kGridDecimals),
                         fixedText(fromMetres(points[i].east, unit), kGridDecimals)};
    };
    if (format == PointFormat::LandXml) return landXmlText(points, {unit, &cs, design});
    return delimitedText(points, format, unit, design);
}

std::string pointFileText(const std::vector<StakePoint>& points, PointFormat format,
                          LinearUnit unit, const OutCoordinates& out) {
    if (out.coordinates.size() != points.size()) return "";
    const int decimals = out.geographic ? kDegreeDecimals : kGridDecimals;
    const CoordinateText crs = [&](std::size_t i) {
        return std::pair{fixedText(out.coordinates[i].first, decimals),
                         fixedText(out.coordinates[i].second, decimals)};
    };
    if (format == PointFormat::LandXml)
        return landXmlText(points, {out.geographic ? unit : out.unit, &out.cs, crs});
    return delimitedText(points, format, unit, crs);
}

}  // namespace zel_landxml
