#include <velmorutils/landxml/AsBuiltCheck.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include <velmorutils/zelmath/alignment/AlntEvaluation.h>

#include "landxml/SectionQueries.h"

namespace zel_landxml {
namespace {

// A deviation on its tolerance passes. Point files carry coordinates and heights to about a
// micrometre, so a shot placed on the tolerance reads back within this of it.
constexpr double kToleranceSlackM = 1e-6;

bool within(double deviation, double tolerance) {
    return std::fabs(deviation) <= tolerance + kToleranceSlackM;
}

std::string metres(double v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.3f m", v);
    return buf;
}

void add(DeviationStats& s, double deviation, double tolerance) {
    ++s.count;
    s.mean += deviation;
    s.rms += deviation * deviation;
    s.maxAbs = std::max(s.maxAbs, std::fabs(deviation));
    s.within += within(deviation, tolerance);
}

void finish(DeviationStats& s) {
    if (s.count == 0) return;
    s.mean /= static_cast<double>(s.count);
    s.rms = std::sqrt(s.rms / static_cast<double>(s.count));
}

}  // namespace

std::string shotCode(const std::string& codeOrDescription) {
    const size_t begin = codeOrDescription.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    const size_t end = codeOrDescription.find_first_of(" \t", begin);
    return codeOrDescription.substr(begin, end == std::string::npos ? end : end - begin);
}

const char* asBuiltAgainstText(AsBuiltAgainst against) {
    switch (against) {
        case AsBuiltAgainst::SectionCode:
            return "section code";
        case AsBuiltAgainst::SectionNearest:
            return "nearest section point";
        default:
            return "offset line";
    }
}

AsBuiltCheck::AsBuiltCheck(const CAlnt& alnt, const AsBuiltOptions& options)
    : alnt_(alnt), options_(options) {
    if (options_.offsets.empty()) options_.offsets.push_back(0.0);
    inverse_.build(alnt);
}

AsBuiltResult AsBuiltCheck::check(const AsBuiltShot& shot) const {
    AsBuiltResult r;
    if (shot.name.empty()) return r.reason = "no point number", r;
    TAlntFoot foot;
    if (!inverse_.findNearest(shot.north, shot.east, foot))
        return r.reason = "no foot on the road", r;
    if (foot.status == TAlntFootStatus::beforeStart)
        return r.reason = "outside the corridor: before the road's start", r;
    if (foot.status == TAlntFootStatus::afterEnd)
        return r.reason = "outside the corridor: after the road's end", r;
    if (foot.distanceInM > options_.corridorM)
        return r.reason =
                   "outside the corridor: " + metres(foot.distanceInM) + " from the centre line",
               r;
    r.chainage = foot.chainageInM;
    r.offset = foot.offsetInM;
    const bool done =
        options_.corridor != nullptr ? againstSections(shot, r) : againstLines(shot, r);
    if (!done) return r;
    r.hPass = within(r.hDev, options_.toleranceHM);
    r.vPass = r.hasV && within(r.vDev, options_.toleranceVM);
    r.ok = true;
    return r;
}

bool AsBuiltCheck::againstLines(const AsBuiltShot& shot, AsBuiltResult& r) const {
    r.against = AsBuiltAgainst::OffsetLine;
    r.designOffset = options_.offsets.front();
    for (const double o : options_.offsets)
        if (std::fabs(r.offset - o) < std::fabs(r.offset - r.designOffset)) r.designOffset = o;
    r.hDev = r.offset - r.designOffset;
    TAlntEval at;
    if (std::isfinite(shot.height) && evaluateAlnt(alnt_, r.chainage, at) && at.hasHeight) {
        r.hasV = true;
        r.vFromCentreLine = true;
        r.designHeight = at.height;
        r.vDev = shot.height - at.height;
    }
    return true;
}

bool AsBuiltCheck::againstSections(const AsBuiltShot& shot, AsBuiltResult& r) const {
    const std::string code = shotCode(shot.code);
    r.against = code.empty() ? AsBuiltAgainst::SectionNearest : AsBuiltAgainst::SectionCode;
    std::string error;
    if (!sectionPointFor(*options_.corridor, r.chainage, r.offset, code, r.designOffset,
                         r.designCode, error))
        return r.reason = error, false;
    r.hDev = r.offset - r.designOffset;
    if (!std::isfinite(shot.height)) return true;
    if (!designHeightAt(*options_.corridor, r.chainage, r.offset, r.designHeight, error))
        return r.reason = error, false;
    r.hasV = true;
    r.vDev = shot.height - r.designHeight;
    return true;
}

std::vector<AsBuiltStats> summarizeAsBuilt(const std::vector<AsBuiltShot>& shots,
                                           const std::vector<AsBuiltResult>& results,
                                           const AsBuiltOptions& options) {
    AsBuiltStats all;
    all.all = true;
    std::map<std::string, AsBuiltStats> byCode;
    const size_t n = std::min(shots.size(), results.size());
    for (size_t i = 0; i < n; ++i) {
        const std::string code = shotCode(shots[i].code);
        AsBuiltStats& c = byCode[code];
        c.code = code;
        const AsBuiltResult& r = results[i];
        for (AsBuiltStats* s : {&all, &c}) {
            if (!r.ok) {
                ++s->bad;
                continue;
            }
            add(s->h, r.hDev, options.toleranceHM);
            if (r.hasV) add(s->v, r.vDev, options.toleranceVM);
        }
    }
    std::vector<AsBuiltStats> out{all};
    for (auto& [code, s] : byCode)
        out.push_back(s);
    for (AsBuiltStats& s : out) {
        finish(s.h);
        finish(s.v);
    }
    return out;
}

}  // namespace zel_landxml
