#pragma once

#include <initializer_list>
#include <vector>

#include "Plot.h"

namespace road {

inline PagePoint add(PagePoint a, PagePoint u, double k) {
    return {a.x + u.x * k, a.y + u.y * k};
}

// Whether the segment a-b passes through the box.
bool segmentHitsBox(PagePoint a, PagePoint b, const Box& r);

// Where a label may go: beside `at`, in direction `dir` (a unit vector, or zero for centred
// on `at`), with `gap` points between `at` and the nearest edge of the text's box. A label set
// `Placer::kLeaderGap` or further from its point gets a thin line to it.
struct Spot {
    PagePoint at;
    PagePoint dir;
    double gap = 0.0;
};

// Greedy label placement: each label takes the first of its spots whose box lies in the
// allowed area and touches neither a placed label nor a drawn line; a label with no free spot
// is left out. Labels are offered in order of importance, so what thins out first is what a
// surveyor misses least.
class Placer {
public:
    static constexpr double kLeaderGap = 20.0;  // points

    explicit Placer(PlotModel& m) : m_(m) {}

    // A drawn line that no label may touch (leaders may cross it).
    void addObstacle(const std::vector<PagePoint>& line);
    // An area no label may touch.
    void block(const Box& b) { blocked_.push_back(b); }
    // Places the label at the first free spot; false when none is free.
    bool place(Label l, const std::vector<Spot>& spots, const Box& area);

private:
    struct Chunk {
        Box bounds;
        std::vector<PagePoint> points;
    };

    bool leaderFree(PagePoint a, PagePoint b) const;
    bool free(const Box& b) const;
    void addLeader(PagePoint a, PagePoint b);

    PlotModel& m_;
    std::vector<Chunk> chunks_;
    std::vector<Box> blocked_;
};

// Spots on both sides of a line at a point: `first` side first, each gap in turn.
std::vector<Spot> besideLine(PagePoint at, PagePoint normal, int first,
                             std::initializer_list<double> gaps);

// Spots all round a point, `vertical` (-1 above, 1 below) preferred: straight above or below,
// then the diagonals, then the sides, each gap in turn.
std::vector<Spot> around(PagePoint at, double vertical, std::initializer_list<double> gaps);

}  // namespace road
