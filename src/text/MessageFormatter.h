#pragma once

// The message formatter of the string class (the platform's FormatMessage from a format text):
// inserts %1 ... %99, each with an optional printf conversion between exclamation marks (default
// !s!, text of the output's own width), and the escapes %0 (end of output), %n (CR LF), %r (CR),
// %t (tab), %% %space %. %! (the character itself). Any other character after % stands for
// itself. Arguments are numbered: an insert may be used more than once, and a conversion with
// '*' takes its width and precision from the inserts that follow its own number.

#include <cstdarg>
#include <string>
#include <vector>

#include "text/PrintfWalker.h"

namespace zel_msg {

enum class SlotType { Unknown, Int, Long, LongLong, Double, LongDouble, Pointer };

struct Slot {
    long long i = 0;
    double d = 0.0;
    long double ld = 0.0L;
    const void* p = nullptr;
};

// Learns which argument types a conversion consumes, without values.
struct RecordingSource {
    std::vector<SlotType>* types;
    size_t pos;
    void set(SlotType t) {
        if (pos >= types->size()) types->resize(pos + 1, SlotType::Unknown);
        if ((*types)[pos] == SlotType::Unknown) (*types)[pos] = t;
        ++pos;
    }
    int nextInt() { return set(SlotType::Int), 0; }
    long nextLong() { return set(SlotType::Long), 0L; }
    long long nextLongLong() { return set(SlotType::LongLong), 0LL; }
    double nextDouble() { return set(SlotType::Double), 0.0; }
    long double nextLongDouble() { return set(SlotType::LongDouble), 0.0L; }
    const void* nextPointer() { return set(SlotType::Pointer), nullptr; }
};

// Reads the numbered arguments fetched beforehand; missing ones read as zero.
struct ArraySource {
    const std::vector<Slot>* slots;
    size_t pos;
    Slot next() { return pos < slots->size() ? (*slots)[pos++] : (++pos, Slot{}); }
    int nextInt() { return static_cast<int>(next().i); }
    long nextLong() { return static_cast<long>(next().i); }
    long long nextLongLong() { return next().i; }
    double nextDouble() { return next().d; }
    long double nextLongDouble() { return next().ld; }
    const void* nextPointer() { return next().p; }
};

constexpr int kMaxInsert = 99;

template <class C>
bool isDigitUnit(C c) {
    return c >= C('0') && c <= C('9');
}

// One insert of the format: its number (1-based) and its printf conversion text.
template <class C>
struct Insert {
    int number = 0;
    std::basic_string<C> conversion;
};

// Reads the insert at s (just after '%', on its first digit). False on a broken conversion.
template <class C>
bool readInsert(const C*& s, Insert<C>& ins) {
    int k = static_cast<int>(*s++ - C('0'));
    if (isDigitUnit(*s)) k = k * 10 + static_cast<int>(*s++ - C('0'));
    ins.number = k;
    ins.conversion.assign(1, C('%'));
    if (*s != C('!')) {
        ins.conversion.push_back(C('s'));
        return true;
    }
    const C* close = s + 1;
    while (*close != 0 && *close != C('!'))
        ++close;
    if (*close == 0 || close == s + 1) return false;
    ins.conversion.append(s + 1, close);
    s = close + 1;
    return true;
}

// Walks fmt; onLiteral(const C*, size_t) and onInsert(const Insert<C>&) receive the pieces.
// Returns false when the format is malformed.
template <class C, class Lit, class Ins>
bool walkMessage(const C* fmt, Lit onLiteral, Ins onInsert) {
    static const C kCrLf[2] = {C('\r'), C('\n')};
    const C* s = fmt;
    while (*s != 0) {
        if (*s != C('%')) {
            const C* run = s;
            while (*s != 0 && *s != C('%'))
                ++s;
            onLiteral(run, static_cast<size_t>(s - run));
            continue;
        }
        ++s;
        const C c = *s;
        if (c == 0) break;  // a lone '%' at the end stands for nothing
        if (c == C('0')) return true;
        if (isDigitUnit(c)) {
            Insert<C> ins;
            if (!readInsert(s, ins)) return false;
            onInsert(ins);
            continue;
        }
        ++s;
        if (c == C('n')) {
            onLiteral(kCrLf, 2);
        } else {
            const C one = c == C('r') ? C('\r') : c == C('t') ? C('\t') : c;
            onLiteral(&one, 1);
        }
    }
    return true;
}

// Formats fmt with the arguments into out. False when the format is malformed; the caller treats
// an empty result as a failure too, as the platform formatter gives no buffer for it.
template <class C>
bool formatMessage(const C* fmt, va_list args, std::basic_string<C>& out) {
    if (fmt == nullptr) return false;
    // First pass: the type of every numbered argument, so they can be read in order.
    std::vector<SlotType> types;
    const bool ok = walkMessage<C>(
        fmt, [](const C*, size_t) {},
        [&](const Insert<C>& ins) {
            RecordingSource rec{&types, static_cast<size_t>(ins.number - 1)};
            zel_printf::Spec spec;
            zel_printf::parseSpec(ins.conversion.c_str(), rec, spec);
            zel_printf::fetchArg(spec, rec);
        });
    if (!ok) return false;
    std::vector<Slot> slots(types.size());
    va_list ap;
    va_copy(ap, args);
    for (size_t k = 0; k < types.size(); ++k) {
        Slot& v = slots[k];
        switch (types[k]) {
            case SlotType::Int:
                v.i = va_arg(ap, int);
                break;
            case SlotType::Long:
                v.i = va_arg(ap, long);
                break;
            case SlotType::LongLong:
                v.i = va_arg(ap, long long);
                break;
            case SlotType::Double:
                v.d = va_arg(ap, double);
                break;
            case SlotType::LongDouble:
                v.ld = va_arg(ap, long double);
                break;
            default:  // pointers, and numbers no insert names, fill one pointer-sized slot
                v.p = va_arg(ap, const void*);
                v.i = static_cast<long long>(reinterpret_cast<intptr_t>(v.p));
                break;
        }
    }
    va_end(ap);
    out.clear();
    return walkMessage<C>(
        fmt, [&](const C* p, size_t n) { out.append(p, n); },
        [&](const Insert<C>& ins) {
            ArraySource measure{&slots, static_cast<size_t>(ins.number - 1)};
            const long long need = zel_printf::estimate(ins.conversion.c_str(), measure).length;
            const size_t at = out.size();
            out.resize(at + static_cast<size_t>(need));
            ArraySource src{&slots, static_cast<size_t>(ins.number - 1)};
            const long long n =
                zel_printf::print(ins.conversion.c_str(), src, out.data() + at, need);
            out.resize(at + static_cast<size_t>(n));
        });
}

}  // namespace zel_msg
