#include "SlopeStake.h"

#include <algorithm>
#include <cmath>

namespace road {
namespace {

// Heights and offsets of the table to the millimetre (a thousandth of a foot), coordinates to a
// tenth of that; the lath is marked to the centimetre (hundredth of a foot).
constexpr int kLengthDecimals = 3;
constexpr int kCoordinateDecimals = 4;
constexpr int kFieldBookDecimals = 2;

const char* sideName(bool right) {
    return right ? "right" : "left";
}

// Catch minus file daylight offset, outwards positive: the catch lies beyond the file's point.
double outwardDifference(const zel_math::TSlopeStake& st) {
    return st.right ? st.daylightOffsetDiff : -st.daylightOffsetDiff;
}

}  // namespace

std::string fieldBookText(const TableStyle& style, const zel_math::TSlopeStake& st) {
    if (!std::isfinite(st.stakeCutFillToHinge)) return "no ground at stake";
    const std::string value = style.length(std::fabs(st.stakeCutFillToHinge), kFieldBookDecimals);
    const bool zero = value.find_first_not_of("0.") == std::string::npos;
    const std::string kind = zero ? "" : st.stakeCutFillToHinge > 0 ? "C " : "F ";
    return kind + value + " @ " + style.length(std::fabs(st.stakeOffset), kFieldBookDecimals) +
           (st.right ? " R" : " L");
}

std::string slopeText(const zel_math::TSlopeStake& st) {
    return plainNumber(st.slopeHV, 4) + ":1 " + (st.cut ? "cut" : "fill");
}

void SlopeStakeTable::writeHeader(std::FILE* out) {
    std::vector<std::string> h{"station"};
    if (s_.csv) h.push_back(s_.heading("chainage"));
    h.push_back("side");
    const char* names[] = {"hinge_offset", "hinge_height",   "catch_offset",
                           "catch_height", "catch_northing", "catch_easting"};
    const char* textNames[] = {"hinge offset", "hinge height",   "catch offset",
                               "catch height", "catch northing", "catch easting"};
    for (int i = 0; i < 6; ++i)
        h.push_back(s_.heading(s_.csv ? names[i] : textNames[i]));
    h.push_back("slope");
    h.push_back(s_.heading(s_.csv ? "cut_fill" : "cut/fill"));
    if (s_.csv) {
        h.push_back(s_.heading("stake_offset"));
        h.push_back(s_.heading("stake_cut_fill"));
        h.push_back(s_.heading("daylight_difference"));
    } else {
        h.push_back("offset stake");
    }
    h.push_back("note");
    std::string line;
    widths_.assign(h.size(), 0);
    for (std::size_t i = 0; i < h.size(); ++i) {
        if (s_.csv) {
            line += (i ? "," : "") + h[i];
            continue;
        }
        const std::size_t least = i == 1 ? 5 : h[i] == "offset stake" ? 18 : 13;
        widths_[i] = std::max<std::size_t>(least, h[i].size());
        if (i + 1 == h.size())
            line += "  " + h[i];
        else if (i == 1)
            line += "  " + padRight(h[i], widths_[i]);
        else
            line += std::string(widths_[i] + (i ? 1 : 0) - h[i].size(), ' ') + h[i];
    }
    std::fprintf(out, "%s\n", line.c_str());
}

std::vector<std::string> SlopeStakeTable::cells(const SlopeStakeRow& r) const {
    const zel_math::TSlopeStake& st = r.stake;
    std::vector<std::string> c{r.station};
    if (s_.csv) c.push_back(s_.length(st.chainage, kCoordinateDecimals));
    c.push_back(sideName(st.right));
    const bool caught = r.asked && st.caught;
    auto len = [&](bool have, double v, int decimals) {
        return have ? s_.length(v, decimals) : std::string();
    };
    c.push_back(len(r.asked, st.hingeOffset, kLengthDecimals));
    c.push_back(len(r.asked, st.hingeHeight, kLengthDecimals));
    c.push_back(len(caught, st.catchOffset, kLengthDecimals));
    c.push_back(len(caught, st.catchHeight, kLengthDecimals));
    c.push_back(len(caught, st.catchNorth, kCoordinateDecimals));
    c.push_back(len(caught, st.catchEast, kCoordinateDecimals));
    if (s_.csv) {
        c.push_back(caught ? fixed(st.slopeHV, 4) : std::string());
        c.push_back(len(caught, st.cutFill, kLengthDecimals));
        c.push_back(len(caught, st.stakeOffset, kLengthDecimals));
        c.push_back(len(caught && std::isfinite(st.stakeCutFillToHinge), st.stakeCutFillToHinge,
                        kLengthDecimals));
        c.push_back(len(caught && st.hasFileDaylight, outwardDifference(st), kLengthDecimals));
    } else {
        c.push_back(caught ? slopeText(st) : std::string());
        c.push_back(caught ? cutFillText(s_, st.cutFill, kLengthDecimals) : std::string());
        c.push_back(caught ? fieldBookText(s_, st) : std::string());
    }
    std::string note = !r.asked     ? r.error
                       : !st.caught ? (st.note.empty() ? "no catch" : st.note)
                                    : "";
    if (caught && st.hasFileDaylight && !s_.csv)
        note = "file daylight " + s_.length(st.daylightOffset, kLengthDecimals) + ", catch " +
               s_.length(outwardDifference(st), kLengthDecimals) + " beyond it";
    c.push_back(note);
    return c;
}

void SlopeStakeTable::writeRow(std::FILE* out, const SlopeStakeRow& row) {
    const std::vector<std::string> c = cells(row);
    std::string line;
    for (std::size_t i = 0; i < c.size(); ++i) {
        if (s_.csv) {
            if (i) line += ',';
            const bool quote = c[i].find_first_of(",\"") != std::string::npos;
            line += quote ? "\"" + c[i] + "\"" : c[i];
            continue;
        }
        const std::size_t w = i < widths_.size() ? widths_[i] : 13;
        const std::string v = c[i].empty() && i + 1 < c.size() ? "-" : c[i];
        if (i + 1 == c.size())
            line += "  " + v;
        else if (i == 1)
            line += "  " + padRight(v, w);
        else
            line +=
                std::string(w + (i ? 1 : 0) > v.size() ? w + (i ? 1 : 0) - v.size() : 1, ' ') + v;
    }
    // Trailing blanks of an empty note are not kept.
    line.erase(line.find_last_not_of(' ') + 1);
    std::fprintf(out, "%s\n", line.c_str());
}

void SlopeStakeTable::writeFooter(std::FILE* out, double stakeDistanceM) const {
    if (s_.csv) return;
    std::fprintf(out,
                 "(offsets right of increasing station positive; slope H:V from the hinge; "
                 "cut/fill at the catch point: catch minus hinge height, C above, F below; offset "
                 "stake %s beyond the catch point, marked with the cut or fill from the ground "
                 "there to the hinge @ its distance from the centre line)\n",
                 (s_.length(stakeDistanceM, kLengthDecimals) + " " + unitSymbol(s_.unit)).c_str());
}

}  // namespace road
