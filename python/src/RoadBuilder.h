#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include <velmorutils/zelmath/alignment/AlntBuildFunctions.h>

#include "RoadAlignment.h"

namespace pyvelmor {

// Python's AlignmentBuilder: the library's AlntBuilder in the builder's unit. Lengths in that
// unit, azimuths in decimal degrees clockwise from north. Each call returns false with the
// library's message, and changes nothing, when the element cannot be built; the messages are
// the validity rules' own, as the LandXML reader gives them.
class RoadBuilder {
public:
    RoadBuilder(double north, double east, double chainage, double azimuthDeg, LinearUnit unit);

    // The start's verdict: false with a message when it is not finite or out of bounds.
    bool started(std::string& error) const;
    bool line(double length, std::string& error);
    // right: the arc turns clockwise (to the right, seen along increasing chainage).
    bool arc(double length, double radius, bool right, std::string& error);
    // A clothoid from radius_start to radius_end; an infinite radius is a tangent end.
    bool spiral(double length, double radiusStart, double radiusEnd, bool right,
                std::string& error);
    // An intersection point with its curve: spiral in, arc of the radius, spiral out. The curve
    // is fitted once the next intersection point is known; the last one (radius 0) is where
    // the road ends.
    bool ip(double north, double east, double radius, double spiralIn, double spiralOut,
            std::string& error);
    // A vertical intersection point at a running chainage. curve: 0 none, 1 a parabola of the
    // given length, 2 a circular curve of the given radius.
    bool vip(double chainage, double height, int curve, double length, double radius,
             std::string& error);
    // A station equation at a running chainage: the station behind (NaN: from the running
    // chainage) and ahead.
    bool equation(double chainage, double stationBack, double stationAhead, std::string& error);

    // The alignment built so far; null with a message when it is not a usable alignment.
    std::shared_ptr<RoadAlignment> build(std::string& error) const;

    // Replays one recorded call (as build() records them); false with the message when it fails.
    bool replay(const BuilderCall& call, std::string& error);

private:
    double toM(double v) const { return zel_landxml::toMetres(v, unit_); }
    // Keeps a call that succeeded, for the alignment's recipe.
    bool record(bool ok, int op, std::initializer_list<double> values);

    LinearUnit unit_;
    zel_math::AlntBuilder builder_;
    AlignmentRecipe recipe_;
};

}  // namespace pyvelmor
