#pragma once

// The character routines of the string class over 8-bit and 16-bit units. The 8-bit ones are the
// C library's; the 16-bit ones are ours, since the platform's wchar_t is 32-bit. Case mapping and
// collation follow the C library's current locale (which the library never sets).

#include <strings.h>

#include <cctype>
#include <cstring>
#include <cwctype>
#include <string>

namespace zel_text::detail {

template <class T>
struct CharTraits;

template <>
struct CharTraits<char> {
    static int length(const char* s) { return static_cast<int>(std::strlen(s)); }
    static int compare(const char* a, const char* b) { return std::strcmp(a, b); }
    static int compareNoCase(const char* a, const char* b) { return strcasecmp(a, b); }
    static int collate(const char* a, const char* b) { return std::strcoll(a, b); }
    static int collateNoCase(const char* a, const char* b) {
        std::string la(a), lb(b);
        for (char& c : la)
            c = toLower(c);
        for (char& c : lb)
            c = toLower(c);
        return std::strcoll(la.c_str(), lb.c_str());
    }
    static const char* find(const char* s, const char* sub) { return std::strstr(s, sub); }
    static const char* findChar(const char* s, char c) { return std::strchr(s, c); }
    static const char* findLastChar(const char* s, char c) { return std::strrchr(s, c); }
    static const char* findOneOf(const char* s, const char* set) { return std::strpbrk(s, set); }
    static int span(const char* s, const char* set) {
        return static_cast<int>(std::strspn(s, set));
    }
    static int spanNot(const char* s, const char* set) {
        return static_cast<int>(std::strcspn(s, set));
    }
    static char toUpper(char c) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    static char toLower(char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
};

template <>
struct CharTraits<unsigned short> {
    using U = unsigned short;

    static int length(const U* s) {
        const U* p = s;
        while (*p != 0)
            ++p;
        return static_cast<int>(p - s);
    }
    static int compare(const U* a, const U* b) {
        while (*a != 0 && *a == *b)
            ++a, ++b;
        return static_cast<int>(*a) - static_cast<int>(*b);
    }
    static int compareNoCase(const U* a, const U* b) {
        for (;; ++a, ++b) {
            const int ca = toLower(*a);
            const int cb = toLower(*b);
            if (ca != cb || ca == 0) return ca - cb;
        }
    }
    static int collate(const U* a, const U* b) {
        return std::wcscoll(widen(a, false).c_str(), widen(b, false).c_str());
    }
    static int collateNoCase(const U* a, const U* b) {
        return std::wcscoll(widen(a, true).c_str(), widen(b, true).c_str());
    }
    static const U* find(const U* s, const U* sub) {
        if (*sub == 0) return s;
        for (; *s != 0; ++s) {
            const U* p = s;
            const U* q = sub;
            while (*q != 0 && *p == *q)
                ++p, ++q;
            if (*q == 0) return s;
        }
        return nullptr;
    }
    static const U* findChar(const U* s, U c) {
        for (;; ++s) {
            if (*s == c) return s;
            if (*s == 0) return nullptr;
        }
    }
    static const U* findLastChar(const U* s, U c) {
        const U* last = nullptr;
        for (;; ++s) {
            if (*s == c) last = s;
            if (*s == 0) return last;
        }
    }
    static const U* findOneOf(const U* s, const U* set) {
        for (; *s != 0; ++s)
            if (inSet(*s, set)) return s;
        return nullptr;
    }
    static int span(const U* s, const U* set) {
        int n = 0;
        while (s[n] != 0 && inSet(s[n], set))
            ++n;
        return n;
    }
    static int spanNot(const U* s, const U* set) {
        int n = 0;
        while (s[n] != 0 && !inSet(s[n], set))
            ++n;
        return n;
    }
    // Surrogate halves are not characters of their own and keep their case.
    static U toUpper(U c) { return isSurrogate(c) ? c : static_cast<U>(std::towupper(c)); }
    static U toLower(U c) { return isSurrogate(c) ? c : static_cast<U>(std::towlower(c)); }

private:
    static bool isSurrogate(U c) { return c >= 0xD800 && c <= 0xDFFF; }
    static bool inSet(U c, const U* set) {
        for (; *set != 0; ++set)
            if (*set == c) return true;
        return false;
    }
    static std::wstring widen(const U* s, bool lower) {
        std::wstring w;
        for (; *s != 0; ++s)
            w.push_back(static_cast<wchar_t>(lower ? toLower(*s) : *s));
        return w;
    }
};

}  // namespace zel_text::detail
