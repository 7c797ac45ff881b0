#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

#include "../FuzzTarget.h"
#include "velmorutils/text/CZelStringT.h"

// The copy-on-write string against a plain std::basic_string model. The input is a sequence of
// byte-coded operations on three string slots that share blocks through copies; after every
// operation each slot must hold exactly its model's characters, so a write through one sharer
// that shows in another, a wrong clamp or a lost character is a finding. Both widths run.
namespace {

using velmor_fuzz::ByteReader;
using velmor_fuzz::check;

constexpr int kSlots = 3;
constexpr size_t kMaxText = 24;
constexpr size_t kMaxLength = 4096;

template <class T>
using Model = std::basic_string<T>;

template <class T>
T unitOf(uint8_t b) {
    if constexpr (sizeof(T) == 1) return static_cast<T>(b);
    return static_cast<T>(b < 0xF0 ? b : 0x100u * b + b);  // some units above 255
}

template <class T>
Model<T> textOf(ByteReader& in) {
    const std::string raw = in.text(kMaxText);
    Model<T> m;
    for (const char c : raw)
        m.push_back(unitOf<T>(static_cast<uint8_t>(c)));
    return m;
}

// The model of a C string: everything before the first zero.
template <class T>
Model<T> cPart(const Model<T>& m, size_t from = 0) {
    if (from >= m.size()) return Model<T>();
    const size_t z = m.find(T(0), from);
    return m.substr(from, z == Model<T>::npos ? Model<T>::npos : z - from);
}

// Indexes and counts near every boundary, and any int at all.
int indexOf(ByteReader& in, long long len) {
    switch (in.byte() % 8) {
        case 0:
            return INT_MIN;
        case 1:
            return INT_MAX;
        case 2:
            return -1;
        case 3:
            return static_cast<int>(len);
        case 4:
            return static_cast<int>(len + 1);
        case 5:
            return static_cast<int>(in.u32());
        default:
            return in.intIn(0, static_cast<int>(len));
    }
}

long long clampLL(long long v, long long lo, long long hi) {
    return std::min(std::max(v, lo), hi);
}

bool isSpace(unsigned u) {
    return u == ' ' || (u >= 9 && u <= 13);
}

template <class T>
Model<T> modelMid(const Model<T>& m, long long first, long long count) {
    const long long len = static_cast<long long>(m.size());
    first = std::max(first, 0LL);
    count = std::max(count, 0LL);
    if (first + count > len) count = len - first;
    if (first > len) return Model<T>();
    return m.substr(static_cast<size_t>(first), static_cast<size_t>(count));
}

// strstr / strchr from an index, within the C string that starts there.
template <class T>
int modelFindText(const Model<T>& m, const Model<T>& sub, long long start) {
    const long long len = static_cast<long long>(m.size());
    if (start > len) return -1;
    start = std::max(start, 0LL);
    const Model<T> hay = cPart(m, static_cast<size_t>(start));
    const size_t p = hay.find(sub);
    return p == Model<T>::npos ? -1 : static_cast<int>(start + static_cast<long long>(p));
}

template <class T>
int modelFindChar(const Model<T>& m, T ch, long long start) {
    const long long len = static_cast<long long>(m.size());
    if (start >= len) return -1;
    size_t p = static_cast<size_t>(std::max(start, 0LL));
    while (p < m.size() && m[p] != ch && m[p] != T(0))
        ++p;
    if (p < m.size() && m[p] == ch) return static_cast<int>(p);
    return ch == T(0) ? static_cast<int>(p) : -1;
}

template <class T>
int modelReplaceText(Model<T>& m, const Model<T>& from, const Model<T>& to) {
    if (from.empty()) return 0;
    int count = 0;
    Model<T> out;
    size_t seg = 0;
    while (seg <= m.size()) {
        const size_t z = std::min(m.find(T(0), seg), m.size());
        Model<T> part = m.substr(seg, z - seg);
        for (size_t p = 0; (p = part.find(from, p)) != Model<T>::npos; p += to.size()) {
            part.replace(p, from.size(), to);
            ++count;
        }
        out += part;
        if (z < m.size()) out.push_back(T(0));
        seg = z + 1;
    }
    if (count > 0) m = out;
    return count;
}

// A copy of a locked string (copy constructor, or a whole-string Mid/Left/Right) copies its
// text as a C string, so it stops at an embedded zero; a copy of any other string shares all
// of it.
template <class T>
struct LockProbe : zel_text::CZelStringT<T> {
    static bool locked(const zel_text::CZelStringT<T>& s) {
        return static_cast<const LockProbe&>(s).GetData()->refCount < 0;
    }
};

template <class T>
Model<T> wholeCopy(const zel_text::CZelStringT<T>& s, const Model<T>& m) {
    return LockProbe<T>::locked(s) ? cPart(m) : m;
}

template <class T>
void checkSlots(const zel_text::CZelStringT<T>* s, const Model<T>* m) {
    for (int i = 0; i < kSlots; ++i) {
        const int len = s[i].GetLength();
        check(len == static_cast<int>(m[i].size()), "length differs from the model");
        check(len <= s[i].GetAllocLength(), "length beyond the block");
        if (len != static_cast<int>(m[i].size())) return;
        const T* p = s[i];
        check(Model<T>(p, static_cast<size_t>(len)) == m[i], "text differs from the model");
        check(p[len] == T(0), "no terminator");
    }
}

template <class T>
void run(const uint8_t* data, size_t size) {
    using S = zel_text::CZelStringT<T>;
    ByteReader in(data, size);
    S s[kSlots];
    Model<T> m[kSlots];
    int steps = 0;
    while (!in.empty() && steps++ < 200) {
        // Appending a string to itself doubles it: texts are held to a few thousand characters
        // so that an input costs milliseconds, not an exponential amount of memory.
        for (int k = 0; k < kSlots; ++k) {
            if (m[k].size() <= kMaxLength) continue;
            s[k].Empty();
            m[k].clear();
        }
        const int op = in.byte() % 24;
        const int i = in.byte() % kSlots;
        const int j = in.byte() % kSlots;
        const long long len = static_cast<long long>(m[i].size());
        switch (op) {
            case 0: {
                const Model<T> t = textOf<T>(in);
                s[i] = S(t.data(), static_cast<int>(t.size()));
                m[i] = t;
                break;
            }
            case 1:
                s[i] = s[j];
                m[i] = m[j];
                break;
            case 2: {
                const Model<T> copied = wholeCopy(s[j], m[j]);
                const S copy(s[j]);
                s[i] += copy;
                m[i] += copied;
                break;
            }
            case 3: {
                const T ch = unitOf<T>(in.byte());
                s[i] += ch;
                m[i].push_back(ch);
                break;
            }
            case 4: {
                const int a = indexOf(in, len), b = indexOf(in, len);
                Model<T> expect = modelMid(m[i], a, b);
                if (a <= 0 && expect.size() == m[i].size()) expect = wholeCopy(s[i], m[i]);
                const S r = s[i].Mid(a, b);
                check(Model<T>(r, static_cast<size_t>(r.GetLength())) == expect,
                      "Mid(first, count)");
                s[j] = r;
                m[j] = expect;
                break;
            }
            case 5: {
                const int a = indexOf(in, len);
                const Model<T> whole = wholeCopy(s[i], m[i]);
                const S r = s[i].Mid(a);
                const Model<T> expect = a <= 0 ? whole : modelMid(m[i], a, len - a);
                check(Model<T>(r, static_cast<size_t>(r.GetLength())) == expect, "Mid(first)");
                const S l = s[i].Left(a);
                check(Model<T>(l, static_cast<size_t>(l.GetLength())) ==
                          (a >= len ? whole
                                    : m[i].substr(0, static_cast<size_t>(clampLL(a, 0, len)))),
                      "Left");
                const S rr = s[i].Right(a);
                check(Model<T>(rr, static_cast<size_t>(rr.GetLength())) ==
                          (a >= len ? whole
                                    : m[i].substr(static_cast<size_t>(len - clampLL(a, 0, len)))),
                      "Right");
                break;
            }
            case 6: {
                const int a = indexOf(in, len);
                const T ch = unitOf<T>(in.byte());
                check(s[i].Insert(a, ch) == len + 1, "Insert(ch) result");
                m[i].insert(static_cast<size_t>(clampLL(a, 0, len)), 1, ch);
                break;
            }
            case 7: {
                const int a = indexOf(in, len);
                const Model<T> t = cPart(textOf<T>(in));
                check(s[i].Insert(a, t.c_str()) == len + static_cast<long long>(t.size()),
                      "Insert(text) result");
                m[i].insert(static_cast<size_t>(clampLL(a, 0, len)), t);
                break;
            }
            case 8: {
                const long long a = indexOf(in, len), b = indexOf(in, len);
                check(s[i].Delete(static_cast<int>(a), static_cast<int>(b)) == len,
                      "Delete result");
                const long long from = std::max(a, 0LL);
                const long long n = std::min(b, len - from);
                if (n >= 1 && from < len)
                    m[i].erase(static_cast<size_t>(from), static_cast<size_t>(n));
                break;
            }
            case 9: {
                const int a = indexOf(in, len);
                const T ch = unitOf<T>(in.byte());
                check(s[i].Find(ch, a) == modelFindChar(m[i], ch, a), "Find(ch, start)");
                break;
            }
            case 10: {
                const int a = indexOf(in, len);
                const Model<T> t = cPart(textOf<T>(in));
                check(s[i].Find(t.c_str(), a) == modelFindText(m[i], t, a), "Find(text, start)");
                break;
            }
            case 11: {
                const T from = unitOf<T>(in.byte()), to = unitOf<T>(in.byte());
                int n = 0;
                if (from != to)
                    for (T& c : m[i])
                        if (c == from) c = to, ++n;
                check(s[i].Replace(from, to) == n, "Replace(ch, ch) count");
                break;
            }
            case 12: {
                const Model<T> from = cPart(textOf<T>(in)), to = cPart(textOf<T>(in));
                check(s[i].Replace(from.c_str(), to.c_str()) == modelReplaceText(m[i], from, to),
                      "Replace(text, text) count");
                break;
            }
            case 13: {
                const T ch = unitOf<T>(in.byte());
                const long long before = static_cast<long long>(m[i].size());
                m[i].erase(std::remove(m[i].begin(), m[i].end(), ch), m[i].end());
                check(s[i].Remove(ch) == before - static_cast<long long>(m[i].size()), "Remove");
                break;
            }
            case 14: {
                s[i].MakeReverse();
                const size_t n = cPart(m[i]).size();
                std::reverse(m[i].begin(), m[i].begin() + static_cast<long>(n));
                break;
            }
            case 15: {
                s[i].TrimRight();
                const size_t n = cPart(m[i]).size();
                size_t end = n;
                while (end > 0 && isSpace(static_cast<std::make_unsigned_t<T>>(m[i][end - 1])))
                    --end;
                if (end != n) m[i].resize(end);
                break;
            }
            case 16: {
                s[i].TrimLeft();
                size_t k = 0;
                while (k < m[i].size() && isSpace(static_cast<std::make_unsigned_t<T>>(m[i][k])))
                    ++k;
                m[i].erase(0, k);
                break;
            }
            case 17:
                s[i].Empty();
                m[i].clear();
                break;
            case 18: {
                const int a = indexOf(in, len);
                const T ch = unitOf<T>(in.byte());
                const bool inside = a >= 0 && a < len;
                check(s[i].GetAt(a) == (a >= 0 && a <= len ? (a < len ? m[i][a] : T(0)) : T(0)),
                      "GetAt");
                s[i].SetAt(a, ch);
                if (inside) m[i][static_cast<size_t>(a)] = ch;
                break;
            }
            case 19: {
                // Room for up to 64 more characters, then a length within the text.
                s[i].GetBuffer(in.intIn(-2, static_cast<int>(len) + 64));
                const int n = in.intIn(-1, static_cast<int>(len));
                s[i].ReleaseBuffer(n);
                m[i].resize(n < 0 ? cPart(m[i]).size() : static_cast<size_t>(n));
                break;
            }
            case 20: {
                T* p = s[i].LockBuffer();
                check(p == static_cast<const T*>(s[i]), "LockBuffer pointer");
                s[j] = s[i];  // a locked block is copied, never shared
                m[j] = m[i];
                if (in.byte() % 2) s[i].UnlockBuffer();
                break;
            }
            case 21:
                s[i].FreeExtra();
                check(s[i].GetAllocLength() == s[i].GetLength(), "FreeExtra leaves room");
                break;
            case 22: {
                const Model<T> set = cPart(textOf<T>(in));
                const Model<T> c = cPart(m[i]);
                const size_t inc = c.find_first_not_of(set);
                const S r = s[i].SpanIncluding(set.c_str());
                check(Model<T>(r, static_cast<size_t>(r.GetLength())) ==
                          c.substr(0, inc == Model<T>::npos ? c.size() : inc),
                      "SpanIncluding");
                break;
            }
            default: {
                if constexpr (sizeof(T) == 1) {
                    const int n = static_cast<int>(in.u32());
                    const std::string t = cPart(textOf<T>(in));
                    char expect[64];
                    std::snprintf(expect, sizeof expect, "%.20s|%d", t.c_str(), n);
                    s[i].Format("%.20s|%d", t.c_str(), n);
                    m[i] = expect;
                }
                break;
            }
        }
        checkSlots(s, m);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    run<char>(data, size);
    run<unsigned short>(data, size);
    return 0;
}
