#pragma once

#include <string>

#include "velmorutils/velmorutils.h"

// Gives tests a view of a string's block header, which the class keeps protected.
template <class T>
struct Probe : zel_text::CZelStringT<T> {
    using Base = zel_text::CZelStringT<T>;
    static const zel_text::CZelStringData<T>* data(const Base& s) {
        return static_cast<const Probe&>(s).GetData();
    }
    static int refs(const Base& s) { return data(s)->refCount; }
    static bool isNil(const Base& s) {
        return static_cast<const void*>(data(s)) == &zel_text::zelStringNilRecord.header;
    }
};

using S8 = zel_text::CZelStringT<char>;
using S16 = zel_text::CZelStringT<unsigned short>;
using P8 = Probe<char>;
using P16 = Probe<unsigned short>;

inline std::u16string u16(const S16& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(static_cast<const unsigned short*>(s)),
                          static_cast<size_t>(s.GetLength()));
}
inline const unsigned short* w(const char16_t* s) {
    return reinterpret_cast<const unsigned short*>(s);
}
inline std::string str(const S8& s) {
    return std::string(static_cast<const char*>(s), static_cast<size_t>(s.GetLength()));
}
