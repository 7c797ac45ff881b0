#include "velmorutils/zelmath/alignment/AlntStakeout.h"

#include <algorithm>
#include <cmath>

#include "velmorutils/zelmath/alignment/CAlnt.h"
#include "velmorutils/zelmath/alignment/CAlntHeIp.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// What a stake of the list is, in the order that decides which one a merged group keeps.
enum Rank { kRound = 0, kRangeEnd = 1, kKeyPoint = 2, kEquation = 3 };

struct Entry {
    double chainage = 0.0;
    Rank rank = kRound;
    const char* code = "";
    bool anglePoint = false;
};

// A stretch of one kind: a straight ('L'), a spiral ('S') or an arc ('C', turning right when
// turn > 0). An element defined at an intersection point gives up to four.
struct Piece {
    double c0 = 0.0;
    double c1 = 0.0;
    char kind = 'L';
    int turn = 0;
};

void ipPieces(const CAlntHeIp& ip, double c, std::vector<Piece>& out) {
    const CCurveIp& curve = ip.get_data();
    const double straight = curve.getSolutionStartSegment().getTotalLength();
    out.push_back({c, c + straight, 'L', 0});
    if (curve.isSimplePoint()) return;
    const int turn = curve.getR() > 0.0 ? 1 : -1;
    const double lengths[3] = {curve.getTsscLen(), curve.getSolutionArc().getTotalLength(),
                               curve.getCsstLen()};
    const char kinds[3] = {'S', 'C', 'S'};
    c += straight;
    for (int i = 0; i < 3; ++i) {
        if (lengths[i] > 0.0) out.push_back({c, c + lengths[i], kinds[i], turn});
        c += lengths[i];
    }
}

std::vector<Piece> piecesOf(const CAlnt& alnt) {
    std::vector<Piece> out;
    for (int i = 0; i < alnt.getNumOfHes(); ++i) {
        const CAlntHe& he = alnt.getElement(i);
        double c = 0.0;
        double len = 0.0;
        if (!he.getStartChainageInM(c) || !he.getHLengthInM(len)) continue;
        if (const CAlntHeIp* ip = CAlntHeIp::cast(&he)) {
            ipPieces(*ip, c, out);
            continue;
        }
        double k = 0.0;
        he.getCurvatureAtLength(0.5 * len, k);
        const char kind =
            he.getType() == alntHeArc ? 'C' : (he.getType() == alntHeSpiral ? 'S' : 'L');
        out.push_back({c, c + len, kind, k > 0.0 ? 1 : (k < 0.0 ? -1 : 0)});
    }
    return out;
}

// The code of the point where piece a ends and piece b begins.
const char* codeBetween(const Piece* a, const Piece* b) {
    if (a == nullptr) return "Start";
    if (b == nullptr) return "End";
    const char x = a->kind;
    const char y = b->kind;
    if (x == 'L') return y == 'S' ? "TS" : (y == 'C' ? "PC" : "POT");
    if (x == 'S') return y == 'C' ? "SC" : (y == 'L' ? "ST" : "SS");
    if (y == 'S') return "CS";
    if (y == 'L') return "PT";
    return a->turn == b->turn ? "PCC" : "PRC";
}

// Whether the tangents on the two sides of chainage c differ by more than kAlntAnglePointRad.
bool isAnglePoint(const CAlnt& alnt, double c) {
    TAlntEval back;
    TAlntEval ahead;
    if (!evaluateAlnt(alnt, c, back, TAlntJointSide::back) ||
        !evaluateAlnt(alnt, c, ahead, TAlntJointSide::ahead))
        return false;
    const double jump = std::remainder(ahead.azimuthDeg - back.azimuthDeg, 360.0) * kPi / 180.0;
    return std::fabs(jump) > kAlntAnglePointRad;
}

void keyPoints(const CAlnt& alnt, double from, double to, std::vector<Entry>& out) {
    std::vector<Piece> pieces = piecesOf(alnt);
    // Pieces of no length have no point of their own: their neighbours meet there.
    pieces.erase(
        std::remove_if(pieces.begin(), pieces.end(), [](const Piece& p) { return !(p.c1 > p.c0); }),
        pieces.end());
    for (std::size_t j = 0; j <= pieces.size(); ++j) {
        const Piece* before = j > 0 ? &pieces[j - 1] : nullptr;
        const Piece* after = j < pieces.size() ? &pieces[j] : nullptr;
        if (before == nullptr && after == nullptr) return;
        const double c = after != nullptr ? after->c0 : before->c1;
        if (c < from || c > to) continue;
        out.push_back({c, kKeyPoint, codeBetween(before, after), isAnglePoint(alnt, c)});
    }
}

// Design stations of running chainages, region by region (plain data, no text).
class Regions {
public:
    Regions(double start, const TAlntStakeoutRequest& r)
        : start_(start),
          startStation_(std::isnan(r.startStationInM) ? start : r.startStationInM),
          eq_(r.equations) {}

    int count() const { return static_cast<int>(eq_.size()) + 1; }
    // Chainage where region r (from 1) begins.
    double begin(int r) const { return r == 1 ? start_ : eq_[r - 2].chainageInM; }
    double end(int r) const {
        return r == count() ? std::numeric_limits<double>::infinity() : eq_[r - 1].chainageInM;
    }
    double stationIn(double c, int r) const {
        return r == 1 ? startStation_ + (c - start_) : eq_[r - 2].aheadStationInM + (c - begin(r));
    }
    double chainageIn(double station, int r) const {
        return begin(r) + (station - stationIn(begin(r), r));
    }
    int regionOf(double c) const {
        int r = 1;
        while (r < count() && c >= eq_[r - 1].chainageInM)
            ++r;
        return r;
    }
    bool isEquation(double c) const {
        return std::any_of(eq_.begin(), eq_.end(),
                           [c](const TAlntStationEquation& e) { return e.chainageInM == c; });
    }

private:
    double start_;
    double startStation_;
    const std::vector<TAlntStationEquation>& eq_;
};

// The multiples of the interval strictly inside [from, to], region by region, and every
// equation in the range.
void roundStations(const Regions& regions, double interval, double from, double to,
                   std::vector<Entry>& out) {
    for (int r = 1; r <= regions.count(); ++r) {
        const double a = std::max(from, regions.begin(r));
        const double b = std::min(to, regions.end(r));
        if (r > 1 && regions.begin(r) >= from && regions.begin(r) <= to)
            out.push_back({regions.begin(r), kEquation, "", false});
        if (!(a < b)) continue;
        const double sa = regions.stationIn(a, r);
        const double sb = sa + (b - a);
        for (double k = std::floor(sa / interval) + 1.0; k * interval < sb; k += 1.0)
            out.push_back({regions.chainageIn(k * interval, r), kRound, "", false});
    }
}

TAlntStakeoutStation stationOf(const Regions& regions, const Entry& e, TAlntJointSide side) {
    TAlntStakeoutStation s;
    s.chainageInM = e.chainage;
    s.side = side;
    s.code = e.code;
    s.region = regions.regionOf(e.chainage);
    if (side == TAlntJointSide::back && s.region > 1 && regions.begin(s.region) == e.chainage)
        --s.region;
    s.stationInM = regions.stationIn(e.chainage, s.region);
    return s;
}

// Merges entries closer than kAlntSameStakeM into the most telling one of each group; a group
// with an equation or an angle point gives a back and an ahead row.
std::vector<TAlntStakeoutStation> merged(std::vector<Entry>& all, const Regions& regions) {
    std::stable_sort(all.begin(), all.end(),
                     [](const Entry& a, const Entry& b) { return a.chainage < b.chainage; });
    std::vector<TAlntStakeoutStation> out;
    for (std::size_t i = 0; i < all.size();) {
        std::size_t j = i;
        Entry best = all[i];
        bool round = false, boundary = false, equation = false, angle = false;
        for (; j < all.size() && all[j].chainage - all[i].chainage < kAlntSameStakeM; ++j) {
            const Entry& e = all[j];
            if (e.rank > best.rank) best = e;
            if (*best.code == '\0' && *e.code != '\0') best.code = e.code;
            round = round || e.rank == kRound;
            boundary = boundary || e.rank == kKeyPoint;
            equation = equation || e.rank == kEquation;
            angle = angle || e.anglePoint;
        }
        i = j;
        const bool split = equation || angle;
        for (const TAlntJointSide side : {TAlntJointSide::back, TAlntJointSide::ahead}) {
            if (!split && side == TAlntJointSide::back) continue;
            TAlntStakeoutStation s = stationOf(regions, best, split ? side : TAlntJointSide::none);
            s.round = round;
            s.boundary = boundary;
            s.equation = equation && regions.isEquation(best.chainage);
            s.anglePoint = angle;
            out.push_back(s);
        }
    }
    return out;
}

}  // namespace

std::vector<TAlntStakeoutStation> alntStakeoutStations(const CAlnt& alnt,
                                                       const TAlntStakeoutRequest& request) {
    const double start = alnt.getStartChainageInM();
    double end = 0.0;
    if (alnt.getNumOfHes() == 0 || !alnt.getFinalChainageInM(end) || !(end > start) ||
        !(request.intervalInM > 0.0) || !std::isfinite(request.intervalInM))
        return {};
    const double from = std::max(request.fromInM, start);
    const double to = std::min(request.toInM, end);
    if (!(from <= to)) return {};
    const Regions regions(start, request);
    std::vector<Entry> all;
    const double rounds = (to - from) / request.intervalInM;
    if (rounds < 1e8) all.reserve(static_cast<std::size_t>(rounds) + 4 * alnt.getNumOfHes() + 8);
    all.push_back({from, kRangeEnd, "", false});
    all.push_back({to, kRangeEnd, "", false});
    roundStations(regions, request.intervalInM, from, to, all);
    keyPoints(alnt, from, to, all);
    return merged(all, regions);
}

bool evaluateStakeoutStation(const CAlnt& alnt, const TAlntStakeoutStation& station,
                             TAlntEval& at) {
    return evaluateAlnt(alnt, station.chainageInM, at, station.side);
}
