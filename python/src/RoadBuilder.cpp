#include "RoadBuilder.h"

#include <cmath>

#include <velmorutils/landxml/Stationing.h>

namespace pyvelmor {
namespace {

bool done(const zel_formats::Verdict& v, std::string& error) {
    if (!v) error = v.message;
    return v.ok;
}

}  // namespace

RoadBuilder::RoadBuilder(double north, double east, double chainage, double azimuthDeg,
                         LinearUnit unit)
    : unit_(unit),
      builder_(zel_landxml::toMetres(north, unit), zel_landxml::toMetres(east, unit),
               zel_landxml::toMetres(chainage, unit), azimuthDeg, unit) {
    // Stations in messages as the LandXML reader writes them.
    builder_.setStationText([unit](double m) {
        zel_landxml::StationStyle style;
        style.unit = unit;
        style.decimals = 3;
        return zel_landxml::Stationing().text(m, style);
    });
}

bool RoadBuilder::started(std::string& error) const {
    return done(builder_.startVerdict(), error);
}

bool RoadBuilder::line(double length, std::string& error) {
    return done(builder_.line(toM(length)), error);
}

bool RoadBuilder::arc(double length, double radius, bool right, std::string& error) {
    return done(builder_.arc(toM(length), toM(radius), right), error);
}

bool RoadBuilder::spiral(double length, double radiusStart, double radiusEnd, bool right,
                         std::string& error) {
    return done(builder_.spiral(toM(length), toM(radiusStart), toM(radiusEnd), right), error);
}

bool RoadBuilder::ip(double north, double east, double radius, double spiralIn, double spiralOut,
                     std::string& error) {
    return done(builder_.ip(toM(north), toM(east), toM(radius), toM(spiralIn), toM(spiralOut)),
                error);
}

bool RoadBuilder::vip(double chainage, double height, int curve, double length, double radius,
                      std::string& error) {
    const zel_math::VipCurve kind = curve == 2   ? zel_math::VipCurve::Circle
                                    : curve == 1 ? zel_math::VipCurve::Parabola
                                                 : zel_math::VipCurve::None;
    return done(builder_.vip(toM(chainage), toM(height), kind, toM(length), toM(radius)), error);
}

bool RoadBuilder::equation(double chainage, double stationBack, double stationAhead,
                           std::string& error) {
    return done(builder_.equation(toM(chainage), toM(stationBack), toM(stationAhead)), error);
}

std::shared_ptr<RoadAlignment> RoadBuilder::build(std::string& error) const {
    if (!done(builder_.finish(), error)) return nullptr;
    // A station behind that is not given is the one the road behind reaches.
    const double start = builder_.alnt().getStartChainageInM();
    std::vector<zel_landxml::StaEquation> equations;
    double regionStart = start, regionStation = start;
    for (const zel_math::EquationValues& e : builder_.equations()) {
        const double running = regionStation + (e.chainageM - regionStart);
        equations.push_back({e.chainageM, std::isnan(e.stationBackM) ? running : e.stationBackM,
                             e.stationAheadM, 0});
        regionStart = e.chainageM;
        regionStation = e.stationAheadM;
    }
    zel_landxml::Stationing stationing;
    if (!stationing.assign(start, std::move(equations), error)) return nullptr;
    return std::make_shared<RoadAlignment>("", unit_, builder_.alnt(), std::move(stationing));
}

}  // namespace pyvelmor
