#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// What every fuzz target shares. A target is one source file in fuzz/targets/ (or
// fuzz/targets/road/ when it needs the road tool's code) that defines LLVMFuzzerTestOneInput.
// The same file is built twice: with libFuzzer under the sanitizers (fuzz/CMakeLists.txt), and
// into an ordinary GoogleTest program that replays fuzz/corpus/<name>/ and
// fuzz/regressions/<name>/ (tests/CMakeLists.txt), so every input that ever found a fault runs
// with ctest.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace velmor_fuzz {

// Reports a disagreement between the code and its model or a broken promise. Under libFuzzer
// it prints what and aborts, so the input is saved as a crash; in the replay test it is a test
// failure naming the input.
void check(bool ok, const char* what);

// Takes typed values off the front of a fuzz input; past the end everything reads as zero.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_pos >= m_size; }
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    int intIn(int lo, int hi) {  // lo <= result <= hi
        const unsigned span = static_cast<unsigned>(hi - lo) + 1u;
        return lo + static_cast<int>(u32() % span);
    }
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | byte();
        return v;
    }
    // Any bit pattern: NaN, infinities, subnormals and huge values all come up.
    double anyDouble() {
        uint64_t bits = (static_cast<uint64_t>(u32()) << 32) | u32();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    // Up to maxLen bytes, embedded zeros included.
    std::string text(size_t maxLen) {
        const size_t n = std::min<size_t>(byte() % (maxLen + 1), m_size - std::min(m_pos, m_size));
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return s;
    }
    std::string rest() {
        std::string s(reinterpret_cast<const char*>(m_data + m_pos),
                      m_size - std::min(m_pos, m_size));
        m_pos = m_size;
        return s;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// A scratch folder of this process, made on first use, for targets that read files.
std::string scratchFolder();

}  // namespace velmor_fuzz
