#include "velmorutils/text/CZelStringT.h"

#include <climits>
#include <cstring>
#include <string>

#include "text/MessageFormatter.h"
#include "text/PrintfWalker.h"
#include "text/ZelCharTraits.h"
#include "velmorutils/platform/CMemoryException.h"
#include "velmorutils/platform/CodePage.h"
#include "velmorutils/platform/StringResources.h"

namespace zel_text {

CZelStringNilRecord zelStringNilRecord = {{-1, 0, 0}, {0, 0}};

namespace {

template <class T>
using Traits = detail::CharTraits<T>;

template <class T>
void copyChars(T* dst, const T* src, long long n) {
    if (n > 0) std::memmove(dst, src, static_cast<size_t>(n) * sizeof(T));
}

// Whitespace of the trim members: TAB, LF, VT, FF, CR and space; nothing above 127.
template <class T>
bool isTrimSpace(T c) {
    const unsigned u = static_cast<unsigned>(static_cast<std::make_unsigned_t<T>>(c));
    return u == ' ' || (u >= 9 && u <= 13);
}

template <class T>
bool inSet(T c, const T* set) {
    for (; *set != 0; ++set)
        if (*set == c) return true;
    return false;
}

// Lengths are 32-bit; anything longer cannot be held and is reported as lack of memory.
int checkedLength(long long n) {
    if (n > INT_MAX) AfxThrowMemoryException();
    return static_cast<int>(n);
}

bool pointsInto(const void* p, const void* lo, const void* hi) {
    const auto q = reinterpret_cast<uintptr_t>(p);
    return q >= reinterpret_cast<uintptr_t>(lo) && q < reinterpret_cast<uintptr_t>(hi);
}

}  // namespace

// ---- block management ----

template <class T>
void CZelStringT<T>::AllocBuffer(int nLen) {
    // A negative length is a caller's mistake; it gets an empty string rather than a wild block.
    if (nLen <= 0) {
        Init();
        return;
    }
    const size_t bytes = sizeof(CZelStringData<T>) + (static_cast<size_t>(nLen) + 1) * sizeof(T);
    auto* d = static_cast<CZelStringData<T>*>(dlmalloc(bytes));
    if (d == nullptr) AfxThrowMemoryException();
    d->refCount = 1;
    d->dataLength = nLen;
    d->allocLength = nLen;
    d->data()[nLen] = 0;
    m_chars = d->data();
}

template <class T>
void CZelStringT<T>::Release() {
    CZelStringData<T>* d = GetData();
    if (d != get_afxDataNil()) {
        Release(d);
        Init();
    }
}

template <class T>
void CZelStringT<T>::Release(CZelStringData<T>* pData) {
    if (pData == get_afxDataNil()) return;
    if (std::atomic_ref<int32_t>(pData->refCount).fetch_sub(1, std::memory_order_acq_rel) <= 1)
        FreeData(pData);
}

template <class T>
void CZelStringT<T>::FreeData(CZelStringData<T>* pData) {
    dlfree(pData);
}

template <class T>
int CZelStringT<T>::SafeStrlen(const T* psz) {
    return psz == nullptr ? 0 : Traits<T>::length(psz);
}

template <class T>
const T* CZelStringT<T>::get_afxChNil() {
    static const T zero = 0;
    return &zero;
}

template <class T>
const CZelStringT<T>& CZelStringT<T>::AfxGetEmptyString() {
    static const CZelStringT empty;
    return empty;
}

template <class T>
void CZelStringT<T>::CopyBeforeWrite() {
    CZelStringData<T>* old = GetData();
    if (old->refCount <= 1) return;
    // The new block is filled before the share is dropped, so the text is never read after the
    // last other sharer may have freed it.
    const int n = old->dataLength;
    AllocBuffer(n);
    if (n > 0) copyChars(m_chars, old->data(), n + 1);
    Release(old);
}

template <class T>
void CZelStringT<T>::AllocBeforeWrite(int nLen) {
    CZelStringData<T>* d = GetData();
    if (d->refCount > 1 || nLen > d->allocLength) {
        Release();
        AllocBuffer(nLen);
    }
}

template <class T>
void CZelStringT<T>::AssignCopy(int nSrcLen, const T* pszSrcData) {
    if (nSrcLen < 0) nSrcLen = 0;
    // A source inside our own block stays valid: the block is then either kept (and the copy
    // overlaps, which copyChars allows) or still held by its other sharers.
    AllocBeforeWrite(nSrcLen);
    if (GetData() == get_afxDataNil()) return;
    copyChars(m_chars, pszSrcData, nSrcLen);
    GetData()->dataLength = nSrcLen;
    m_chars[nSrcLen] = 0;
}

template <class T>
void CZelStringT<T>::AllocCopy(CZelStringT& dest, int nCopyLen, int nCopyIndex,
                               int nExtraLen) const {
    const int newLen = checkedLength(static_cast<long long>(nCopyLen) + nExtraLen);
    dest.Release();
    if (newLen <= 0) return;
    dest.AllocBuffer(newLen);
    copyChars(dest.m_chars, m_chars + nCopyIndex, nCopyLen);
}

template <class T>
void CZelStringT<T>::ConcatCopy(int nSrc1Len, const T* pszSrc1Data, int nSrc2Len,
                                const T* pszSrc2Data) {
    const int newLen = checkedLength(static_cast<long long>(nSrc1Len) + nSrc2Len);
    if (newLen == 0) return;
    AllocBuffer(newLen);
    copyChars(m_chars, pszSrc1Data, nSrc1Len);
    copyChars(m_chars + nSrc1Len, pszSrc2Data, nSrc2Len);
}

template <class T>
void CZelStringT<T>::ConcatInPlace(int nSrcLen, const T* pszSrcData) {
    if (nSrcLen <= 0) return;
    CZelStringData<T>* d = GetData();
    if (d->refCount < 2 && static_cast<long long>(d->dataLength) + nSrcLen <= d->allocLength) {
        copyChars(m_chars + d->dataLength, pszSrcData, nSrcLen);
        d->dataLength += nSrcLen;
        m_chars[d->dataLength] = 0;
        return;
    }
    // Exactly the total: a string grows by reallocation on every append that does not fit.
    ConcatCopy(d->dataLength, m_chars, nSrcLen, pszSrcData);
    Release(d);
}

// ---- construction and assignment ----

template <class T>
CZelStringT<T>::CZelStringT(const T* psz) {
    Init();
    const auto value = reinterpret_cast<uintptr_t>(psz);
    if (psz != nullptr && value < 65536) {
        AssignFromResource(static_cast<unsigned int>(value));
        return;
    }
    const int n = SafeStrlen(psz);
    if (n == 0) return;
    AllocBuffer(n);
    copyChars(m_chars, psz, n);
}

template <class T>
CZelStringT<T>::CZelStringT(const T* pch, int nLength) {
    Init();
    if (pch == nullptr || nLength <= 0) return;
    AllocBuffer(nLength);
    copyChars(m_chars, pch, nLength);
}

template <class T>
CZelStringT<T>::CZelStringT(const YCHAR* psz) {
    Init();
    AssignConverted(psz, -1);
}

template <class T>
CZelStringT<T>::CZelStringT(const YCHAR* pch, int nLength) {
    Init();
    if (pch == nullptr || nLength <= 0) return;
    AssignConverted(pch, nLength);
}

template <class T>
CZelStringT<T>::CZelStringT(const unsigned char* psz) {
    Init();
    *this = psz;
}

template <class T>
CZelStringT<T>::CZelStringT(T ch, int nRepeat) {
    Init();
    if (nRepeat < 1) return;
    AllocBuffer(nRepeat);
    for (int i = 0; i < nRepeat; ++i)
        m_chars[i] = ch;
}

template <class T>
CZelStringT<T>::CZelStringT(const std::string& s) {
    Init();
    *this = s;
}

// Converts from the other width. nLength -1: zero-terminated text, converted with its
// terminator and measured afterwards; otherwise exactly nLength units.
template <class T>
void CZelStringT<T>::AssignConverted(const YCHAR* psz, int nLength) {
    const bool terminated = nLength < 0;
    const int n = terminated ? (psz == nullptr ? 0 : Traits<YCHAR>::length(psz)) : nLength;
    // 8-bit to 16-bit keeps room for two units per byte, as for double-byte code pages.
    const int room = checkedLength(sizeof(T) == 2 ? 2LL * n : n);
    AllocBeforeWrite(room);
    if (GetData() == get_afxDataNil()) return;
    const int inLen = terminated ? n + 1 : n;
    int produced = 0;
    if constexpr (sizeof(T) == 1)
        produced = zel_platform::WideCharToMultiByte(psz, inLen, m_chars, room + 1);
    else
        produced = zel_platform::MultiByteToWideChar(psz, inLen, m_chars, room + 1);
    if (terminated) {
        ReleaseBuffer(-1);
    } else {
        GetData()->dataLength = produced;
        m_chars[produced] = 0;
    }
}

template <class T>
CZelStringT<T>& CZelStringT<T>::operator=(const CZelStringT& src) {
    if (m_chars == src.m_chars) return *this;
    CZelStringData<T>* d = GetData();
    CZelStringData<T>* s = src.GetData();
    if ((d->refCount >= 0 || d == get_afxDataNil()) && s->refCount >= 0) {
        std::atomic_ref<int32_t>(s->refCount).fetch_add(1, std::memory_order_relaxed);
        Release();
        m_chars = src.m_chars;
    } else {
        AssignCopy(s->dataLength, src.m_chars);
    }
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::operator=(T ch) {
    AssignCopy(1, &ch);
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::operator=(const T* psz) {
    AssignCopy(SafeStrlen(psz), psz);
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::operator=(const YCHAR* psz) {
    AssignConverted(psz, -1);
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::operator=(const unsigned char* psz) {
    // 8-bit text: copied by the 8-bit string, converted by the 16-bit one.
    return *this = reinterpret_cast<const char*>(psz);
}

template <class T>
CZelStringT<T>& CZelStringT<T>::operator=(const std::string& s) {
    return *this = s.c_str();
}

template <class T>
CZelStringT<T>& CZelStringT<T>::operator+=(const T* psz) {
    ConcatInPlace(SafeStrlen(psz), psz);
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::operator+=(T ch) {
    ConcatInPlace(1, &ch);
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::operator+=(const CZelStringT& s) {
    ConcatInPlace(s.GetData()->dataLength, s.m_chars);
    return *this;
}

// ---- access and comparison ----

template <class T>
void CZelStringT<T>::SetAt(int i, T ch) {
    // Outside the text there is nothing to set: writing there would damage the heap block.
    if (i < 0 || i >= GetLength()) return;
    CopyBeforeWrite();
    m_chars[i] = ch;
}

template <class T>
int CZelStringT<T>::Compare(const T* psz) const {
    return Traits<T>::compare(m_chars, psz);
}

template <class T>
int CZelStringT<T>::CompareNoCase(const T* psz) const {
    return Traits<T>::compareNoCase(m_chars, psz);
}

template <class T>
int CZelStringT<T>::Collate(const T* psz) const {
    return Traits<T>::collate(m_chars, psz);
}

template <class T>
int CZelStringT<T>::CollateNoCase(const T* psz) const {
    return Traits<T>::collateNoCase(m_chars, psz);
}

// ---- extraction ----

template <class T>
CZelStringT<T> CZelStringT<T>::Mid(int nFirst) const {
    // length - first exceeds the int range for a first near INT_MIN; any count from first to
    // beyond the end means "to the end", so the largest int serves.
    const long long count = static_cast<long long>(GetLength()) - nFirst;
    return Mid(nFirst, count > INT_MAX ? INT_MAX : static_cast<int>(count));
}

template <class T>
CZelStringT<T> CZelStringT<T>::Mid(int nFirst, int nCount) const {
    const int len = GetLength();
    if (nFirst < 0) nFirst = 0;
    if (nCount < 0) nCount = 0;
    if (static_cast<long long>(nFirst) + nCount > len) nCount = len - nFirst;
    if (nFirst > len) nCount = 0;
    if (nFirst == 0 && nCount == len) return *this;
    CZelStringT dest;
    AllocCopy(dest, nCount, nFirst, 0);
    return dest;
}

template <class T>
CZelStringT<T> CZelStringT<T>::Left(int nCount) const {
    if (nCount < 0) nCount = 0;
    if (nCount >= GetLength()) return *this;
    CZelStringT dest;
    AllocCopy(dest, nCount, 0, 0);
    return dest;
}

template <class T>
CZelStringT<T> CZelStringT<T>::Right(int nCount) const {
    if (nCount < 0) nCount = 0;
    const int len = GetLength();
    if (nCount >= len) return *this;
    CZelStringT dest;
    AllocCopy(dest, nCount, len - nCount, 0);
    return dest;
}

template <class T>
CZelStringT<T> CZelStringT<T>::SpanIncluding(const T* pszCharSet) const {
    return Left(Traits<T>::span(m_chars, pszCharSet));
}

template <class T>
CZelStringT<T> CZelStringT<T>::SpanExcluding(const T* pszCharSet) const {
    return Left(Traits<T>::spanNot(m_chars, pszCharSet));
}

// ---- searching ----

template <class T>
int CZelStringT<T>::Find(const T* pszSub, int nStart) const {
    if (nStart > GetLength()) return -1;
    if (nStart < 0) nStart = 0;  // not the caller's right, but no reason to read before the text
    const T* p = Traits<T>::find(m_chars + nStart, pszSub);
    return p == nullptr ? -1 : static_cast<int>(p - m_chars);
}

template <class T>
int CZelStringT<T>::Find(const T* pszSub) const {
    return Find(pszSub, 0);
}

template <class T>
int CZelStringT<T>::Find(T ch, int nStart) const {
    if (nStart >= GetLength()) return -1;
    if (nStart < 0) nStart = 0;
    const T* p = Traits<T>::findChar(m_chars + nStart, ch);
    return p == nullptr ? -1 : static_cast<int>(p - m_chars);
}

template <class T>
int CZelStringT<T>::Find(T ch) const {
    return Find(ch, 0);
}

template <class T>
int CZelStringT<T>::ReverseFind(T ch) const {
    const T* p = Traits<T>::findLastChar(m_chars, ch);
    return p == nullptr ? -1 : static_cast<int>(p - m_chars);
}

template <class T>
int CZelStringT<T>::FindOneOf(const T* pszCharSet) const {
    const T* p = Traits<T>::findOneOf(m_chars, pszCharSet);
    return p == nullptr ? -1 : static_cast<int>(p - m_chars);
}

// ---- modification ----

template <class T>
CZelStringT<T>& CZelStringT<T>::MakeUpper() {
    CopyBeforeWrite();
    for (T* p = m_chars; *p != 0; ++p)
        *p = Traits<T>::toUpper(*p);
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::MakeLower() {
    CopyBeforeWrite();
    for (T* p = m_chars; *p != 0; ++p)
        *p = Traits<T>::toLower(*p);
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::MakeReverse() {
    CopyBeforeWrite();
    const int n = Traits<T>::length(m_chars);
    for (int i = 0, j = n - 1; i < j; ++i, --j)
        std::swap(m_chars[i], m_chars[j]);
    return *this;
}

// Cuts the trailing run of characters that match, within the text up to its first zero.
template <class T, class Pred>
static void trimRightWhere(T* chars, CZelStringData<T>* d, Pred match) {
    const int n = detail::CharTraits<T>::length(chars);
    int end = n;
    while (end > 0 && match(chars[end - 1]))
        --end;
    if (end == n) return;
    chars[end] = 0;
    d->dataLength = end;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::TrimRight() {
    CopyBeforeWrite();
    trimRightWhere(m_chars, GetData(), [](T c) { return isTrimSpace(c); });
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::TrimRight(T chTarget) {
    CopyBeforeWrite();
    trimRightWhere(m_chars, GetData(), [chTarget](T c) { return c == chTarget; });
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::TrimRight(const T* pszTargets) {
    CopyBeforeWrite();
    if (pszTargets == nullptr || *pszTargets == 0) return *this;
    trimRightWhere(m_chars, GetData(), [pszTargets](T c) { return inSet(c, pszTargets); });
    return *this;
}

template <class T>
void CZelStringT<T>::TrimLeftCount(int nCount) {
    if (nCount <= 0) return;
    CZelStringData<T>* d = GetData();
    const int newLen = d->dataLength - nCount;
    copyChars(m_chars, m_chars + nCount, newLen + 1);
    d->dataLength = newLen;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::TrimLeft() {
    CopyBeforeWrite();
    const int len = GetLength();
    int k = 0;
    while (k < len && isTrimSpace(m_chars[k]))
        ++k;
    TrimLeftCount(k);
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::TrimLeft(T chTarget) {
    CopyBeforeWrite();
    const int len = GetLength();
    int k = 0;
    while (k < len && m_chars[k] == chTarget)
        ++k;
    TrimLeftCount(k);
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::TrimLeft(const T* pszTargets) {
    if (pszTargets == nullptr || *pszTargets == 0) return *this;
    CopyBeforeWrite();
    TrimLeftCount(Traits<T>::span(m_chars, pszTargets));
    return *this;
}

template <class T>
CZelStringT<T>& CZelStringT<T>::Trim() {
    TrimRight();
    return TrimLeft();
}

template <class T>
CZelStringT<T>& CZelStringT<T>::Trim(T chTarget) {
    TrimRight(chTarget);
    return TrimLeft(chTarget);
}

template <class T>
int CZelStringT<T>::Replace(T chOld, T chNew) {
    if (chOld == chNew) return 0;
    CopyBeforeWrite();
    int count = 0;
    const int len = GetLength();
    for (int i = 0; i < len; ++i) {
        if (m_chars[i] == chOld) {
            m_chars[i] = chNew;
            ++count;
        }
    }
    return count;
}

template <class T>
int CZelStringT<T>::Replace(const T* pszOld, const T* pszNew) {
    const int oldLen = SafeStrlen(pszOld);
    if (oldLen == 0) return 0;
    const int newLen = SafeStrlen(pszNew);
    // Count pass: segment by segment, so that text after an embedded zero is searched too.
    int count = 0;
    {
        const T* start = m_chars;
        const T* const end = m_chars + GetLength();
        while (start < end) {
            const T* hit;
            while ((hit = Traits<T>::find(start, pszOld)) != nullptr) {
                ++count;
                start = hit + oldLen;
            }
            start += Traits<T>::length(start) + 1;
        }
    }
    if (count == 0) return 0;
    // Both texts may come from our own block; keep them apart before anything moves.
    const std::basic_string<T> target(pszOld, static_cast<size_t>(oldLen));
    std::basic_string<T> replacement;
    if (newLen > 0) replacement.assign(pszNew, static_cast<size_t>(newLen));
    const T* repl = replacement.data();
    CopyBeforeWrite();
    int curLen = GetLength();
    const int total = checkedLength(static_cast<long long>(curLen) +
                                    static_cast<long long>(newLen - oldLen) * count);
    CZelStringData<T>* d = GetData();
    if (d->allocLength < total || d->refCount > 1) {
        AllocBuffer(total);
        copyChars(m_chars, d->data(), curLen + 1);
        GetData()->dataLength = curLen;
        Release(d);
    }
    T* start = m_chars;
    T* end = m_chars + curLen;
    while (start < end) {
        T* hit;
        while ((hit = const_cast<T*>(Traits<T>::find(start, target.c_str()))) != nullptr) {
            const int balance = curLen - static_cast<int>(hit - m_chars) - oldLen;
            copyChars(hit + newLen, hit + oldLen, balance);
            copyChars(hit, repl, newLen);
            start = hit + newLen;
            curLen += newLen - oldLen;
            m_chars[curLen] = 0;
            end = m_chars + curLen;
        }
        start += Traits<T>::length(start) + 1;
    }
    GetData()->dataLength = total;
    m_chars[total] = 0;
    return count;
}

template <class T>
int CZelStringT<T>::Remove(T chRemove) {
    CopyBeforeWrite();
    const int len = GetLength();
    int out = 0;
    for (int i = 0; i < len; ++i)
        if (m_chars[i] != chRemove) m_chars[out++] = m_chars[i];
    const int removed = len - out;
    if (removed > 0) {
        m_chars[out] = 0;
        GetData()->dataLength = out;
    }
    return removed;
}

template <class T>
int CZelStringT<T>::Insert(int nIndex, const T* psz) {
    if (nIndex < 0) nIndex = 0;
    const int n = SafeStrlen(psz);
    if (n == 0) return GetLength();
    std::basic_string<T> text(psz, static_cast<size_t>(n));  // psz may lie in our own block
    CopyBeforeWrite();
    const int len = GetLength();
    if (nIndex > len) nIndex = len;
    const int newLen = checkedLength(static_cast<long long>(len) + n);
    CZelStringData<T>* d = GetData();
    if (d->allocLength < newLen) {
        AllocBuffer(newLen);
        copyChars(m_chars, d->data(), len + 1);
        Release(d);
    }
    copyChars(m_chars + nIndex + n, m_chars + nIndex, len - nIndex + 1);
    copyChars(m_chars + nIndex, text.data(), n);
    GetData()->dataLength = newLen;
    return newLen;
}

template <class T>
int CZelStringT<T>::Insert(int nIndex, T ch) {
    CopyBeforeWrite();
    if (nIndex < 0) nIndex = 0;
    const int len = GetLength();
    if (nIndex > len) nIndex = len;
    const int newLen = checkedLength(static_cast<long long>(len) + 1);
    CZelStringData<T>* d = GetData();
    if (d->allocLength < newLen) {
        AllocBuffer(newLen);
        copyChars(m_chars, d->data(), len + 1);
        Release(d);
    }
    copyChars(m_chars + nIndex + 1, m_chars + nIndex, len - nIndex + 1);
    m_chars[nIndex] = ch;
    GetData()->dataLength = newLen;
    return newLen;
}

template <class T>
int CZelStringT<T>::Delete(int nIndex, int nCount) {
    if (nIndex < 0) nIndex = 0;
    const int len = GetLength();
    if (static_cast<long long>(nCount) > static_cast<long long>(len) - nIndex)
        nCount = len - nIndex;
    if (nCount > 0 && nIndex < len) {
        CopyBeforeWrite();
        copyChars(m_chars + nIndex, m_chars + nIndex + nCount, len - (nIndex + nCount) + 1);
        GetData()->dataLength = len - nCount;
    }
    return len;
}

template <class T>
void CZelStringT<T>::Empty() {
    if (GetLength() == 0) return;
    if (GetData()->refCount >= 0)
        Release();
    else
        *this = get_afxChNil();
}

// ---- buffer access ----

template <class T>
T* CZelStringT<T>::GetBuffer(int nMinBufLength) {
    CZelStringData<T>* d = GetData();
    if (d->refCount > 1 || nMinBufLength > d->allocLength) {
        const int len = d->dataLength;
        AllocBuffer(nMinBufLength > len ? nMinBufLength : len);
        if (GetData() != get_afxDataNil()) {
            copyChars(m_chars, d->data(), len + 1);
            GetData()->dataLength = len;
        }
        Release(d);
    }
    return m_chars;
}

template <class T>
void CZelStringT<T>::ReleaseBuffer(int nNewLength) {
    CopyBeforeWrite();
    CZelStringData<T>* d = GetData();
    if (d == get_afxDataNil()) return;
    if (nNewLength < 0) nNewLength = Traits<T>::length(m_chars);
    if (nNewLength > d->allocLength) nNewLength = d->allocLength;
    d->dataLength = nNewLength;
    m_chars[nNewLength] = 0;
}

template <class T>
T* CZelStringT<T>::GetBufferSetLength(int nNewLength) {
    if (nNewLength < 0) nNewLength = 0;
    GetBuffer(nNewLength);
    CZelStringData<T>* d = GetData();
    if (d != get_afxDataNil()) {
        d->dataLength = nNewLength;
        m_chars[nNewLength] = 0;
    }
    return m_chars;
}

template <class T>
void CZelStringT<T>::FreeExtra() {
    CZelStringData<T>* d = GetData();
    if (d->dataLength == d->allocLength) return;
    const int len = d->dataLength;
    AllocBuffer(len);
    copyChars(m_chars, d->data(), len);
    Release(d);
}

template <class T>
T* CZelStringT<T>::LockBuffer() {
    T* p = GetBuffer(0);
    if (GetData() != get_afxDataNil()) GetData()->refCount = -1;
    return p;
}

template <class T>
void CZelStringT<T>::UnlockBuffer() {
    if (GetData() != get_afxDataNil()) GetData()->refCount = 1;
}

// ---- formatting and resources ----

template <class T>
void CZelStringT<T>::Format(const T* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

template <class T>
void CZelStringT<T>::Format(unsigned int nFormatID, ...) {
    CZelStringT format;
    format.LoadStringA(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    FormatV(format, args);
    va_end(args);
}

template <class T>
void CZelStringT<T>::FormatV(const T* pszFormat, va_list args) {
    if (pszFormat == nullptr) {
        Empty();
        return;
    }
    CZelStringData<T>* d = GetData();
    const T* blockEnd = m_chars + d->allocLength + 1;
    zel_printf::VaSource measure;
    va_copy(measure.ap, args);
    const zel_printf::EstimateResult est =
        zel_printf::estimate(pszFormat, measure, m_chars, blockEnd);
    va_end(measure.ap);
    const int n = checkedLength(est.length);
    // Printing into our own block while reading the format or a text from it would overwrite
    // what is still to be read: such a call prints into a fresh string first.
    if (d != get_afxDataNil() && (est.textInRange || pointsInto(pszFormat, m_chars, blockEnd))) {
        CZelStringT fresh;
        va_list copy;
        va_copy(copy, args);
        fresh.FormatV(pszFormat, copy);
        va_end(copy);
        *this = fresh;
        return;
    }
    T* buffer = GetBuffer(n);
    long long printed = 0;
    if constexpr (sizeof(T) == 1) {
        if (est.sameInGlibc) {
            va_list copy;
            va_copy(copy, args);
            printed = std::vsnprintf(buffer, static_cast<size_t>(n) + 1, pszFormat, copy);
            va_end(copy);
            if (printed > n) printed = n;  // cannot happen: the estimate bounds the output
            ReleaseBuffer(printed < 0 ? -1 : static_cast<int>(printed));
            return;
        }
    }
    zel_printf::VaSource src;
    va_copy(src.ap, args);
    printed = zel_printf::print(pszFormat, src, buffer, n);
    va_end(src.ap);
    ReleaseBuffer(static_cast<int>(printed));
}

template <class T>
void CZelStringT<T>::FormatMessageA(const T* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    std::basic_string<T> out;
    const bool ok = zel_msg::formatMessage(pszFormat, args, out);
    va_end(args);
    // The platform formatter gives no buffer for an empty message either.
    if (!ok || out.empty()) AfxThrowMemoryException();
    AssignCopy(checkedLength(static_cast<long long>(out.size())), out.data());
}

template <class T>
void CZelStringT<T>::FormatMessageA(unsigned int nFormatID, ...) {
    CZelStringT format;
    format.LoadStringA(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    std::basic_string<T> out;
    const bool ok = zel_msg::formatMessage(format.m_chars, args, out);
    va_end(args);
    if (!ok || out.empty()) AfxThrowMemoryException();
    AssignCopy(checkedLength(static_cast<long long>(out.size())), out.data());
}

template <class T>
int CZelStringT<T>::LoadStringA(unsigned int nID) {
    if constexpr (sizeof(T) == 1) {
        char scratch[256];
        int n = zel_platform::LoadStringA(nID, scratch, 256);
        if (256 - n > 2) {
            *this = scratch;
            return n > 0;
        }
        // The text may have been cut at the scratch size: retry with room in steps of 256.
        int size = 256;
        do {
            size += 256;
            char* p = GetBuffer(size - 1);
            n = zel_platform::LoadStringA(nID, p, size);
        } while (size - n <= 2);
        ReleaseBuffer(-1);
        return n > 0;
    } else {
        CZelStringT<char> narrow;
        const int found = narrow.LoadStringA(nID);
        if (found) *this = static_cast<const char*>(narrow);
        return found;
    }
}

template <class T>
void CZelStringT<T>::AssignFromResource(unsigned int nID) {
    LoadStringA(nID);
}

template <class T>
BSTR CZelStringT<T>::AllocSysString() const {
    const int len = GetLength();
    if constexpr (sizeof(T) == 1) {
        const int units = zel_platform::MultiByteToWideChar(m_chars, len, nullptr, 0);
        BSTR b = SysAllocStringLen(nullptr, static_cast<unsigned int>(units));
        if (b == nullptr) AfxThrowMemoryException();
        if (units > 0) zel_platform::MultiByteToWideChar(m_chars, len, b, units);
        return b;
    } else {
        BSTR b = SysAllocStringLen(m_chars, static_cast<unsigned int>(len));
        if (b == nullptr) AfxThrowMemoryException();
        return b;
    }
}

template <class T>
BSTR CZelStringT<T>::SetSysString(BSTR* pbstr) const {
    const int len = GetLength();
    if constexpr (sizeof(T) == 1) {
        const int units = zel_platform::MultiByteToWideChar(m_chars, len, nullptr, 0);
        if (!SysReAllocStringLen(pbstr, nullptr, static_cast<unsigned int>(units)))
            AfxThrowMemoryException();
        if (units > 0) zel_platform::MultiByteToWideChar(m_chars, len, *pbstr, units);
    } else {
        if (!SysReAllocStringLen(pbstr, m_chars, static_cast<unsigned int>(len)))
            AfxThrowMemoryException();
    }
    return *pbstr;
}

template <class T>
CMfcStringProxy<T> CZelStringT<T>::mfcString() const {
    const int len = GetLength();
    if constexpr (sizeof(T) == 1) {
        return CMfcStringProxy<T>(std::string(m_chars, static_cast<size_t>(len)), this);
    } else {
        std::string narrow(static_cast<size_t>(len), '\0');
        const int n =
            len == 0 ? 0 : zel_platform::WideCharToMultiByte(m_chars, len, narrow.data(), len);
        narrow.resize(static_cast<size_t>(n));
        return CMfcStringProxy<T>(std::move(narrow), this);
    }
}

template class CZelStringT<char>;
template class CZelStringT<unsigned short>;

}  // namespace zel_text
