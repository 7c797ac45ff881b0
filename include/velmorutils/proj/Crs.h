#pragma once

#include <string>

// A coordinate reference system as PROJ reads it, and the conventions every call of this
// component keeps at its edge.
//
// A CRS is given as text: an authority code ("EPSG:2229", a compound "EPSG:2229+5703"), WKT
// (1 or 2), PROJJSON, a PROJ string ("+proj=utm +zone=33 +datum=WGS84"; "+type=crs" is added
// when it is missing) or a name from PROJ's database ("NAD83 / California zone 5 (ftUS)").
//
// Axis order and units, whatever the CRS's own definition says:
//   - geographic: latitude first, longitude second, decimal degrees, north and east positive;
//   - projected: northing first, easting second, in METRES (a US survey foot grid's values are
//     converted here at 1200/3937 m per foot, an international foot grid's at 0.3048);
//   - geocentric: X, Y, Z in metres, in that order;
//   - heights: metres, ellipsoidal for a geographic 3D CRS, in the vertical datum for a compound
//     CRS with a vertical part.
// This is PROJ's order "for visualisation" (proj_normalize_for_visualization: longitude or
// easting first) with the first two values swapped. A CRS whose axes point west or south (the
// South African Lo grids) keeps those directions; only the order and the unit are normalised.
// PROJ works offline: the grids it can use are those installed (Debian's proj-data holds the
// EGM96 geoid), and the network is never asked.
namespace zel_proj {

enum class CrsKind {
    Geographic2D,
    Geographic3D,
    Projected,
    Geocentric,
    Compound,  // a horizontal CRS with a vertical one
    Vertical,
    Other,
};

// What a CRS is, as the tool shows it and the transformations need it.
struct CrsInfo {
    std::string name;        // PROJ's name of it: "NAD83 / California zone 5 (ftUS)"
    std::string identifier;  // "EPSG:2229" when PROJ knows one for it, else empty
    CrsKind kind = CrsKind::Other;
    // The horizontal part is latitude and longitude (geographic 2D or 3D, or compound on one).
    bool geographic = false;
    // The horizontal part is a map projection (projected, or compound on one).
    bool projected = false;
    // The horizontal axes' unit (a projected CRS's, "degree" for a geographic one) and its
    // length in metres (1 for degrees: they are not converted).
    std::string horizontalUnit;
    double horizontalUnitM = 1.0;
    // A height axis: geographic 3D, or compound. The vertical CRS's name ("EGM96 height") for a
    // compound one, else empty, and its unit's length in metres.
    bool hasHeight = false;
    std::string verticalName;
    double verticalUnitM = 1.0;
};

// Reads a CRS. False with PROJ's reason, and the text it could not read, when the text is not a
// CRS (an operation, a datum, nothing PROJ knows).
bool describeCrs(const std::string& definition, CrsInfo& info, std::string& error);

// A horizontal CRS with the heights of a vertical datum named as a file names it ("NAVD88",
// "EGM96", "NAVD88 height"): the vertical CRS of that name in PROJ's database (its metre heights
// preferred), joined to the horizontal one as a compound CRS. The result is "EPSG:h+v" when both
// have EPSG codes, else PROJJSON. False with a message when either cannot be found.
bool withVerticalDatum(const std::string& horizontal, const std::string& verticalDatum,
                       std::string& compound, std::string& error);

// "EPSG:2229 (NAD83 / California zone 5 (ftUS))", or the name alone without an identifier.
std::string crsLabel(const CrsInfo& info);

}  // namespace zel_proj
