#include "velmorutils/inlines/CObjId2ObjIdMap.h"

CObjId2ObjIdMap::CObjId2ObjIdMap() = default;
CObjId2ObjIdMap::CObjId2ObjIdMap(const CObjId2ObjIdMap& src) = default;
CObjId2ObjIdMap& CObjId2ObjIdMap::operator=(const CObjId2ObjIdMap& src) = default;
CObjId2ObjIdMap::~CObjId2ObjIdMap() = default;

void CObjId2ObjIdMap::add(int src, int trg) {
    Add(TObjId2ObjIdMapItem{src, trg});
}

int CObjId2ObjIdMap::findSrcId(int id) const {
    const int count = GetSize();
    for (int i = 0; i < count; ++i) {
        if (Base::GetAt(i).srcId == id) return i;
    }
    return -1;
}

int CObjId2ObjIdMap::findTrgId(int id) const {
    const int count = GetSize();
    for (int i = 0; i < count; ++i) {
        if (Base::GetAt(i).trgId == id) return i;
    }
    return -1;
}

int CObjId2ObjIdMap::src2trg(int id) const {
    const int i = findSrcId(id);
    return i < 0 ? 0 : Base::GetAt(i).trgId;
}

int CObjId2ObjIdMap::trg2src(int id) const {
    const int i = findTrgId(id);
    return i < 0 ? 0 : Base::GetAt(i).srcId;
}

const TObjId2ObjIdMapItem& CObjId2ObjIdMap::GetAt(int i) const {
    return Base::GetAt(i);
}
TObjId2ObjIdMapItem& CObjId2ObjIdMap::GetAt(int i) {
    return Base::GetAt(i);
}
const TObjId2ObjIdMapItem& CObjId2ObjIdMap::operator[](int i) const {
    return Base::GetAt(i);
}
TObjId2ObjIdMapItem& CObjId2ObjIdMap::operator[](int i) {
    return Base::GetAt(i);
}
