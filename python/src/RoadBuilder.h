#pragma once

#include <memory>
#include <string>

#include "RoadAlignment.h"

namespace pyvelmor {

// Builds an alignment element by element, as a design is typed in: a start point, chainage and
// azimuth, then straights, arcs, spirals and curves at intersection points, and a profile of
// vertical intersection points. Lengths in the builder's unit, azimuths in decimal degrees
// clockwise from north. Each call returns false with a message, and changes nothing, when the
// element cannot be built.
class RoadBuilder {
public:
    RoadBuilder(double north, double east, double chainage, double azimuthDeg, LinearUnit unit);

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

    // The alignment built so far; false when it has no element.
    std::shared_ptr<RoadAlignment> build(std::string& error) const;

private:
    template <class Element>
    bool append(Element& el, const char* what, std::string& error);

    LinearUnit unit_;
    double azimuthDeg_;
    CAlnt alnt_;
};

}  // namespace pyvelmor
