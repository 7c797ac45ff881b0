#include "RoadBuilder.h"

#include <algorithm>
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
    recipe_.source = AlignmentRecipe::Source::builder;
    recipe_.start[0] = north;
    recipe_.start[1] = east;
    recipe_.start[2] = chainage;
    recipe_.start[3] = azimuthDeg;
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

bool RoadBuilder::record(bool ok, int op, std::initializer_list<double> values) {
    if (!ok) return false;
    BuilderCall call;
    call.op = op;
    std::copy(values.begin(), values.end(), call.values);
    recipe_.calls.push_back(call);
    return true;
}

bool RoadBuilder::line(double length, std::string& error) {
    return record(done(builder_.line(toM(length)), error), BuilderCall::line, {length});
}

bool RoadBuilder::arc(double length, double radius, bool right, std::string& error) {
    return record(done(builder_.arc(toM(length), toM(radius), right), error), BuilderCall::arc,
                  {length, radius, right ? 1.0 : 0.0});
}

bool RoadBuilder::spiral(double length, double radiusStart, double radiusEnd, bool right,
                         std::string& error) {
    return record(
        done(builder_.spiral(toM(length), toM(radiusStart), toM(radiusEnd), right), error),
        BuilderCall::spiral, {length, radiusStart, radiusEnd, right ? 1.0 : 0.0});
}

bool RoadBuilder::ip(double north, double east, double radius, double spiralIn, double spiralOut,
                     std::string& error) {
    return record(
        done(builder_.ip(toM(north), toM(east), toM(radius), toM(spiralIn), toM(spiralOut)), error),
        BuilderCall::ip, {north, east, radius, spiralIn, spiralOut});
}

bool RoadBuilder::vip(double chainage, double height, int curve, double length, double radius,
                      std::string& error) {
    const zel_math::VipCurve kind = curve == 2   ? zel_math::VipCurve::Circle
                                    : curve == 1 ? zel_math::VipCurve::Parabola
                                                 : zel_math::VipCurve::None;
    return record(
        done(builder_.vip(toM(chainage), toM(height), kind, toM(length), toM(radius)), error),
        BuilderCall::vip, {chainage, height, static_cast<double>(curve), length, radius});
}

bool RoadBuilder::equation(double chainage, double stationBack, double stationAhead,
                           std::string& error) {
    return record(
        done(builder_.equation(toM(chainage), toM(stationBack), toM(stationAhead)), error),
        BuilderCall::equation, {chainage, stationBack, stationAhead});
}

bool RoadBuilder::replay(const BuilderCall& c, std::string& error) {
    const double* v = c.values;
    switch (c.op) {
        case BuilderCall::line:
            return line(v[0], error);
        case BuilderCall::arc:
            return arc(v[0], v[1], v[2] != 0.0, error);
        case BuilderCall::spiral:
            return spiral(v[0], v[1], v[2], v[3] != 0.0, error);
        case BuilderCall::ip:
            return ip(v[0], v[1], v[2], v[3], v[4], error);
        case BuilderCall::vip:
            return vip(v[0], v[1], static_cast<int>(v[2]), v[3], v[4], error);
        case BuilderCall::equation:
            return equation(v[0], v[1], v[2], error);
        default:
            error = "unknown builder step " + std::to_string(c.op);
            return false;
    }
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
    auto road = std::make_shared<RoadAlignment>("", unit_, builder_.alnt(), std::move(stationing));
    road->setRecipe(recipe_);
    return road;
}

}  // namespace pyvelmor
