#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <string>

#include "velmorutils/alloc/DlMalloc.h"
#include "velmorutils/platform/CStringT.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/platform/OleStrings.h"
#include "velmorutils/text/CMfcStringProxy.h"

namespace zel_text {

// The header in front of every string block; the characters follow it directly.
template <class T>
struct CZelStringData {
    int32_t refCount;     // sharing strings; -1 when locked and for the nil record
    int32_t dataLength;   // characters, without the terminating zero
    int32_t allocLength;  // room for characters, without the terminating zero

    T* data() noexcept { return reinterpret_cast<T*>(this + 1); }
};

// The one header all strings without a block refer to, followed by a zero character wide enough
// for both instantiations. It is never counted, freed or given a non-zero character.
struct CZelStringNilRecord {
    CZelStringData<char> header;
    uint16_t zero[2];
};
VELMORUTILS_API extern CZelStringNilRecord zelStringNilRecord;

template <class T>
struct CZelStringOtherChar;
template <>
struct CZelStringOtherChar<char> {
    using type = unsigned short;
};
template <>
struct CZelStringOtherChar<unsigned short> {
    using type = char;
};

// A reference-counted, copy-on-write string in one heap block of exactly the size it needs.
// Copies share the block (one atomic increment); the first change to a shared block copies it.
// CZelStringT<char> holds 8-bit text in the ANSI code page, CZelStringT<unsigned short> UTF-16.
template <class T>
class VELMORUTILS_API CZelStringT {
public:
    using XCHAR = T;                                      // this string's characters
    using YCHAR = typename CZelStringOtherChar<T>::type;  // the other width
    using PCXSTR = const T*;
    using PCYSTR = const YCHAR*;

    // Construction.
    CZelStringT() noexcept { Init(); }
    CZelStringT(const CZelStringT& src) {
        CZelStringData<T>* d = src.GetData();
        if (std::atomic_ref<int32_t>(d->refCount).load(std::memory_order_relaxed) >= 0) {
            m_chars = src.m_chars;
            std::atomic_ref<int32_t>(d->refCount).fetch_add(1, std::memory_order_relaxed);
        } else {
            Init();
            *this = src.m_chars;
        }
    }
    CZelStringT(const T* psz);
    CZelStringT(const T* pch, int nLength);
    CZelStringT(const YCHAR* psz);
    CZelStringT(const YCHAR* pch, int nLength);
    CZelStringT(const unsigned char* psz);
    CZelStringT(T ch, int nRepeat = 1);
    CZelStringT(const CStringT<char>& s);
    ~CZelStringT() {
        CZelStringData<T>* d = GetData();
        if (d != get_afxDataNil() &&
            std::atomic_ref<int32_t>(d->refCount).fetch_sub(1, std::memory_order_acq_rel) <= 1)
            FreeData(d);
    }

    // Assignment and appending.
    CZelStringT& operator=(const CZelStringT& src);
    CZelStringT& operator=(T ch);
    CZelStringT& operator=(const T* psz);
    CZelStringT& operator=(const YCHAR* psz);
    CZelStringT& operator=(const unsigned char* psz);
    CZelStringT& operator=(const CStringT<char>& s);
    CZelStringT& operator+=(const T* psz);
    CZelStringT& operator+=(T ch);
    CZelStringT& operator+=(const CZelStringT& s);

    friend CZelStringT operator+(const CZelStringT& a, const CZelStringT& b) {
        CZelStringT r;
        r.ConcatCopy(a.GetData()->dataLength, a.m_chars, b.GetData()->dataLength, b.m_chars);
        return r;
    }
    friend CZelStringT operator+(const CZelStringT& a, const T* b) {
        CZelStringT r;
        r.ConcatCopy(a.GetData()->dataLength, a.m_chars, SafeStrlen(b), b);
        return r;
    }
    friend CZelStringT operator+(const T* a, const CZelStringT& b) {
        CZelStringT r;
        r.ConcatCopy(SafeStrlen(a), a, b.GetData()->dataLength, b.m_chars);
        return r;
    }
    friend CZelStringT operator+(const CZelStringT& a, T b) {
        CZelStringT r;
        r.ConcatCopy(a.GetData()->dataLength, a.m_chars, 1, &b);
        return r;
    }
    friend CZelStringT operator+(T a, const CZelStringT& b) {
        CZelStringT r;
        r.ConcatCopy(1, &a, b.GetData()->dataLength, b.m_chars);
        return r;
    }

    // Access. Valid indexes are 0 <= i < GetLength(); any other int is answered without touching
    // memory outside the block: GetAt and [] give the zero character (the terminator at
    // GetLength()), SetAt does nothing.
    int GetLength() const noexcept { return GetData()->dataLength; }
    bool IsEmpty() const noexcept { return GetData()->dataLength == 0; }
    int GetAllocLength() const noexcept { return GetData()->allocLength; }
    T GetAt(int i) const noexcept { return i >= 0 && i <= GetLength() ? m_chars[i] : T(0); }
    T operator[](int i) const noexcept { return GetAt(i); }
    void SetAt(int i, T ch);
    operator const T*() const noexcept { return m_chars; }
    const T* GetString() const noexcept { return m_chars; }

    // Comparison: negative, zero or positive; the argument must not be null.
    int Compare(const T* psz) const;
    int CompareNoCase(const T* psz) const;
    int Collate(const T* psz) const;
    int CollateNoCase(const T* psz) const;

    // Extraction and editing clamp their index and count arguments to the text (see each rule),
    // so every int, INT_MIN and INT_MAX included, gives a defined result.
    CZelStringT Mid(int nFirst) const;
    CZelStringT Mid(int nFirst, int nCount) const;
    CZelStringT Left(int nCount) const;
    CZelStringT Right(int nCount) const;
    CZelStringT SpanIncluding(const T* pszCharSet) const;
    CZelStringT SpanExcluding(const T* pszCharSet) const;

    // Searching: character indexes, -1 when not found.
    int Find(const T* pszSub, int nStart) const;
    int Find(const T* pszSub) const;
    int Find(T ch, int nStart) const;
    int Find(T ch) const;
    int ReverseFind(T ch) const;
    int FindOneOf(const T* pszCharSet) const;

    // Modification in place.
    CZelStringT& MakeUpper();
    CZelStringT& MakeLower();
    CZelStringT& MakeReverse();
    CZelStringT& TrimRight();
    CZelStringT& TrimRight(T chTarget);
    CZelStringT& TrimRight(const T* pszTargets);
    CZelStringT& TrimLeft();
    CZelStringT& TrimLeft(T chTarget);
    CZelStringT& TrimLeft(const T* pszTargets);
    CZelStringT& Trim();
    CZelStringT& Trim(T chTarget);
    int Replace(T chOld, T chNew);
    int Replace(const T* pszOld, const T* pszNew);
    int Remove(T chRemove);
    int Insert(int nIndex, const T* psz);
    int Insert(int nIndex, T ch);
    int Delete(int nIndex, int nCount = 1);
    void Empty();

    // Buffer access.
    T* GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);
    T* GetBufferSetLength(int nNewLength);
    void FreeExtra();
    T* LockBuffer();
    void UnlockBuffer();

    // Formatting and resources.
    void Format(const T* pszFormat, ...);
    void Format(unsigned int nFormatID, ...);
    void FormatV(const T* pszFormat, va_list args);
    void FormatMessageA(const T* pszFormat, ...);
    void FormatMessageA(unsigned int nFormatID, ...);
    int LoadStringA(unsigned int nID);
    BSTR AllocSysString() const;
    BSTR SetSysString(BSTR* pbstr) const;
    CMfcStringProxy<T> mfcString() const;

protected:
    T* m_chars;

    void Init() noexcept { m_chars = get_afxDataNil()->data(); }
    CZelStringData<T>* GetData() const noexcept {
        return reinterpret_cast<CZelStringData<T>*>(m_chars) - 1;
    }
    void AllocBuffer(int nLen);
    void AllocCopy(CZelStringT& dest, int nCopyLen, int nCopyIndex, int nExtraLen) const;
    void AssignCopy(int nSrcLen, const T* pszSrcData);
    void ConcatCopy(int nSrc1Len, const T* pszSrc1Data, int nSrc2Len, const T* pszSrc2Data);
    void ConcatInPlace(int nSrcLen, const T* pszSrcData);
    void CopyBeforeWrite();
    void AllocBeforeWrite(int nLen);
    void Release();
    static void Release(CZelStringData<T>* pData);
    static void FreeData(CZelStringData<T>* pData);
    static int SafeStrlen(const T* psz);
    static CZelStringData<T>* get_afxDataNil() noexcept {
        return reinterpret_cast<CZelStringData<T>*>(&zelStringNilRecord.header);
    }
    static const T* get_afxChNil();
    static const CZelStringT& AfxGetEmptyString();

private:
    void AssignConverted(const YCHAR* psz, int nLength);
    void AssignFromResource(unsigned int nID);
    void TrimLeftCount(int nCount);
};

// Comparisons as Compare() gives them.
template <class T>
bool operator==(const CZelStringT<T>& a, const CZelStringT<T>& b) {
    return a.Compare(b) == 0;
}
template <class T>
bool operator==(const CZelStringT<T>& a, const T* b) {
    return a.Compare(b) == 0;
}
template <class T>
bool operator<(const CZelStringT<T>& a, const CZelStringT<T>& b) {
    return a.Compare(b) < 0;
}
template <class T>
bool operator<(const CZelStringT<T>& a, const T* b) {
    return a.Compare(b) < 0;
}
template <class T>
bool operator<(const T* a, const CZelStringT<T>& b) {
    return b.Compare(a) > 0;
}
template <class T>
bool operator>(const CZelStringT<T>& a, const CZelStringT<T>& b) {
    return a.Compare(b) > 0;
}
template <class T>
bool operator>(const CZelStringT<T>& a, const T* b) {
    return a.Compare(b) > 0;
}
template <class T>
bool operator>(const T* a, const CZelStringT<T>& b) {
    return b.Compare(a) < 0;
}
template <class T>
bool operator<=(const CZelStringT<T>& a, const CZelStringT<T>& b) {
    return a.Compare(b) <= 0;
}
template <class T>
bool operator>=(const CZelStringT<T>& a, const CZelStringT<T>& b) {
    return a.Compare(b) >= 0;
}

extern template class CZelStringT<char>;
extern template class CZelStringT<unsigned short>;

using CZelStringA = CZelStringT<char>;
using CZelStringW = CZelStringT<unsigned short>;

}  // namespace zel_text
