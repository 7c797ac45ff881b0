#include "velmorutils/inlines/TObjIds.h"

int TObjIds::find(int id) const {
    const unsigned int n = size();
    for (unsigned int i = 0; i < n; ++i) {
        if ((*this)[i] == id) return static_cast<int>(i);
    }
    return -1;
}

void TObjIds::append(const TObjIds& other) {
    const unsigned int first = size();
    const unsigned int added = other.size();
    if (added == 0) return;
    set_size(static_cast<int>(first + added), 0);
    // When other is this list, its first `added` ids are the ones to copy, and they stay put.
    for (unsigned int i = 0; i < added; ++i)
        (*this)[first + i] = other[i];
}

void TObjIds::getCommonAndThisOnlyItems(const TObjIds& other, TObjIds* common,
                                        TObjIds* thisOnly) const {
    const unsigned int n = size();
    for (unsigned int i = 0; i < n; ++i) {
        const int id = (*this)[i];
        if (other.find(id) >= 0) {
            if (common) common->add(id);
        } else if (thisOnly) {
            thisOnly->add(id);
        }
    }
}
