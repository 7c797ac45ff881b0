#pragma once

#include <vector>

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/C2dPos.h"

/// A read-only list of plane points that the caller implements; the area functions only read it.
class I2dPtList_r {
public:
    /// Number of points.
    virtual int getCount() const = 0;
    /// Point i (0-based): north, east in metres.
    virtual void getPoint(int i, C2dPos& p) const = 0;

protected:
    /// Lists are owned by their callers, never deleted through this interface.
    ~I2dPtList_r() = default;
};

/// The ready-made list for callers who keep their points in a vector.
class VELMORUTILS_API C2dPtVectorList final : public I2dPtList_r {
public:
    C2dPtVectorList() = default;
    explicit C2dPtVectorList(std::vector<C2dPos> pts) : points(std::move(pts)) {}
    virtual ~C2dPtVectorList() = default;

    int getCount() const override { return static_cast<int>(points.size()); }
    /// An index outside the list reads the origin rather than memory beyond the vector.
    void getPoint(int i, C2dPos& p) const override {
        p = (i >= 0 && i < getCount()) ? points[static_cast<size_t>(i)] : C2dPos();
    }

    std::vector<C2dPos> points;
};
