#pragma once

#include <cstdint>

#include "velmorutils/inlines/TZelContainer.h"
#include "velmorutils/platform/Export.h"

// A list of object ids of the caller's data base (0 means none), in the order they were added;
// duplicates are allowed. Element access is the container's checked access.
class VELMORUTILS_API TObjIds : public zel_templ::TZelContainer<int> {
public:
    using zel_templ::TZelContainer<int>::append;

    // Index of the first element equal to id, or -1.
    int find(int id) const;

    // Adds other's ids after this list's own, in order (also when other is this list).
    void append(const TObjIds& other);

    // Sorts this list's ids, in order, into those other holds too (appended to common) and
    // those it does not (appended to thisOnly). Neither output is cleared first; either may be
    // null.
    void getCommonAndThisOnlyItems(const TObjIds& other, TObjIds* common, TObjIds* thisOnly) const;
};
