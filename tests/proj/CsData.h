#pragma once

// The sets of points the PROJ component is checked with, as make-expected.sh writes them with
// cs2cs, and how each maps to the component's axis order and units.

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace proj_test {

constexpr double kUsFootM = 1200.0 / 3937.0;

struct CsSet {
    const char* name;  // data/<name>.txt
    const char* from;
    const char* to;
    bool projected;  // cs2cs writes easting, northing (else latitude, longitude, height)
    double unitM;    // metres per unit of cs2cs's projected output
};

inline const std::vector<CsSet>& csSets() {
    static const std::vector<CsSet> sets{
        {"utm33", "EPSG:4326", "EPSG:32633", true, 1.0},
        {"osgb", "EPSG:4277", "EPSG:27700", true, 1.0},
        {"lambert93", "EPSG:4171", "EPSG:2154", true, 1.0},
        {"ca5ftus", "EPSG:4269", "EPSG:2229", true, kUsFootM},
        {"wgs84egm96", "EPSG:4979", "EPSG:4326+5773", false, 1.0},
    };
    return sets;
}

// One line: the input latitude, longitude and height, and cs2cs's output as written.
struct CsRow {
    double lat, lon, h;
    double out[3];
};

inline std::vector<CsRow> readRows(const std::string& path) {
    std::ifstream in(path);
    std::vector<CsRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        CsRow r{};
        if (words >> r.lat >> r.lon >> r.h >> r.out[0] >> r.out[1] >> r.out[2]) rows.push_back(r);
    }
    return rows;
}

// The rows kept with the tests for a set (tests/proj/data).
inline std::vector<CsRow> keptRows(const CsSet& set) {
    return readRows(std::string(VELMORUTILS_PROJ_TEST_DATA) + "/" + set.name + ".txt");
}

}  // namespace proj_test
