#pragma once

#include <cstdint>

#include "velmorutils/inlines/CZelArray.h"
#include "velmorutils/platform/Export.h"

// One remapped object id: the id in the source database and the id of its copy in the target.
// 0 stands for "no object" in both columns.
struct TObjId2ObjIdMapItem {
    std::int32_t srcId;
    std::int32_t trgId;
};

// Pairs of source and target ids, in the order they were added. Neither column is unique or
// sorted, so lookups scan from the front and the first match wins.
class VELMORUTILS_API CObjId2ObjIdMap
    : public zel_templ::CZelArray<TObjId2ObjIdMapItem, const TObjId2ObjIdMapItem&> {
public:
    using Base = zel_templ::CZelArray<TObjId2ObjIdMapItem, const TObjId2ObjIdMapItem&>;

    CObjId2ObjIdMap();
    CObjId2ObjIdMap(const CObjId2ObjIdMap& src);
    CObjId2ObjIdMap& operator=(const CObjId2ObjIdMap& src);
    ~CObjId2ObjIdMap();

    void add(int src, int trg);

    // Index of the first pair with that id, or -1.
    int findSrcId(int id) const;
    int findTrgId(int id) const;

    // The other id of the first matching pair; 0 when there is none, which a caller cannot tell
    // apart from a pair mapped to 0.
    int src2trg(int id) const;
    int trg2src(int id) const;

    const TObjId2ObjIdMapItem& GetAt(int i) const;
    TObjId2ObjIdMapItem& GetAt(int i);
    const TObjId2ObjIdMapItem& operator[](int i) const;
    TObjId2ObjIdMapItem& operator[](int i);
};
