#include <velmorutils/landxml/StakeoutStations.h>

#include <cmath>

#include <velmorutils/formats/StationText.h>

namespace zel_landxml {

TAlntStakeoutRequest stakeoutRequest(const Stationing& stationing, double intervalM, double fromM,
                                     double toM) {
    TAlntStakeoutRequest r;
    r.intervalInM = intervalM;
    r.fromInM = fromM;
    r.toInM = toM;
    r.startStationInM = stationing.station(stationing.startChainage());
    for (const StaEquation& e : stationing.equations())
        r.equations.push_back({e.staInternal, e.staAhead});
    return r;
}

std::string stakeoutStationText(const Stationing& stationing, const TAlntStakeoutStation& station,
                                const StationStyle& style) {
    const bool behind = station.side == TAlntJointSide::back && station.equation;
    if (!behind) return stationing.text(station.chainageInM, style);
    const std::string text = zel_formats::FormatStationText(
        fromMetres(station.stationInM, style.unit), style.length(), style.decimals);
    // Read back, the text must name this point (to its rounding); else its region says which.
    double half = 0.5;
    for (int i = 0; i < style.decimals && i < 6; ++i)
        half /= 10.0;
    double back = 0.0;
    std::string error;
    if (stationing.chainage(text, style, back, error) &&
        std::fabs(back - station.chainageInM) <= toMetres(half, style.unit) + 1e-7)
        return text;
    return text + " R" + std::to_string(station.region);
}

}  // namespace zel_landxml
