#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include <velmorutils/proj/Crs.h>

// Points from one coordinate reference system to another through PROJ. Coordinates keep the
// component's order and units (Crs.h): latitude, longitude in degrees; northing, easting in
// metres; heights in metres. Nothing here throws.
namespace zel_proj {

// The operation PROJ chose for a point: its name ("Inverse of NAD83 to WGS 84 (1) + SPCS83
// California zone 5 (US Survey feet)") and its accuracy in metres as PROJ's database gives it
// (-1 when unknown; 0 for a pure conversion such as a map projection).
struct CrsOperation {
    std::string name;
    double accuracyM = -1.0;
    // Both ends have heights but PROJ had no model between their vertical references (no geoid
    // grid installed, or none known): the height passed through unchanged ("ballpark").
    bool heightUnchanged = false;
};

// One transformation between two CRSs. PROJ may hold several candidate operations (each valid
// over its own area); each point takes the best one whose area holds it, as PROJ decides.
//
// Thread safety: every object owns its own PROJ context, so objects may be used on different
// threads at once; one object must not be used by two threads at once (a transformation
// changes PROJ's state). Copying is not allowed; moving is.
class CrsTransform {
public:
    CrsTransform();
    ~CrsTransform();
    CrsTransform(CrsTransform&&) noexcept;
    CrsTransform& operator=(CrsTransform&&) noexcept;
    CrsTransform(const CrsTransform&) = delete;
    CrsTransform& operator=(const CrsTransform&) = delete;

    // Sets up the transformation from `from` to `to` (Crs.h says what each may be). False with
    // a message naming the CRS that could not be read or the pair PROJ has no operation for.
    bool create(const std::string& from, const std::string& to, std::string& error);
    bool isok() const;

    const CrsInfo& source() const;
    const CrsInfo& target() const;

    // One point in place, from the source to the target (forward) or back (inverse): first is
    // the latitude or the northing, second the longitude or the easting (Crs.h). The height may
    // be null: then 0 goes in and what comes out is dropped. False (the values then unchanged)
    // when the point lies outside what the operation can take or a value is not finite;
    // lastError() says why.
    bool forward(double& first, double& second, double* height);
    bool inverse(double& first, double& second, double* height);
    // count points at once, each as above; ok[i] says whether point i was transformed (a point
    // that fails keeps its values). Returns how many were. height may be null.
    std::size_t forward(double* first, double* second, double* height, std::size_t count, bool* ok);

    // The operation used for the last point transformed; before any, the operation PROJ would
    // try first. Empty name when there is none.
    CrsOperation lastOperation() const;
    // Why the last point failed.
    const std::string& lastError() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zel_proj
