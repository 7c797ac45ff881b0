#include "velmorutils/zelmath/vertical/CAlntBase.h"

namespace {

// The characters a name may not contain; the per-cent sign is listed twice, as the
// application's own table has it.
constexpr char kForbidden[32] = {'!',  ',', '?',  '%', '*', '@',  '#',  '$',  '%', '^', '&',
                                 '\'', '"', '\\', '/', '|', '~',  ';',  '[',  ']', '{', '}',
                                 '(',  ')', '<',  '>', '`', '\t', '\r', '\n', '+', '='};
constexpr int kMaxNameLength = 40;

bool isForbidden(char c) {
    for (char f : kForbidden) {
        if (c == f) return true;
    }
    return false;
}

}  // namespace

CAlntBase::~CAlntBase() = default;

bool CAlntBase::checkAlntName(const zel_text::CZelStringT<char>& name) {
    const int len = name.GetLength();
    if (len <= 0 || len > kMaxNameLength) return false;
    for (int i = 0; i < len; ++i) {
        if (isForbidden(name.GetAt(i))) return false;
    }
    return true;
}

double CAlntBase::getStartChainageInM() const {
    return m_startChainage;
}

void CAlntBase::setStartChainageInM(double c) {
    m_startChainage = c;
}

void CAlntBase::onBulkUpdateFinished() {
    m_bulkUpdate = false;
}

void CAlntBase::convertIds(const CObjId2ObjIdMap&) {}

void CAlntBase::copy(const CAlntBase& o) {
    m_objId = o.m_objId;
    m_name = o.m_name;
    m_startChainage = o.m_startChainage;
    m_totalHLength = o.m_totalHLength;
    m_bulkUpdate = false;
}

bool CAlntBase::getTotalHLengthInM(double& len) const {
    if (zel_math::isUnset(m_totalHLength)) {
        double computed = 0.0;
        if (!doObtainTotalHLength(computed)) return false;
        m_totalHLength = computed;
    }
    len = m_totalHLength;
    return true;
}

bool CAlntBase::getFinalChainageInM(double& c) const {
    double len = 0.0;
    if (!getTotalHLengthInM(len)) return false;
    c = len + getStartChainageInM();
    return true;
}
