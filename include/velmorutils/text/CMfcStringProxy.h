#pragma once

#include <string>

namespace zel_text {

template <class T>
class CZelStringT;

// Hands a string to code that takes the framework's string type (std::string on this platform).
// It holds its own 8-bit copy of the text and a pointer back to the string it was made from.
template <class T>
class CMfcStringProxy {
public:
    CMfcStringProxy(std::string text, const CZelStringT<T>* owner)
        : m_string(std::move(text)), m_owner(owner) {}

    const std::string& str() const { return m_string; }
    operator const std::string&() const { return m_string; }
    const char* c_str() const { return m_string.c_str(); }
    const CZelStringT<T>* owner() const { return m_owner; }

private:
    std::string m_string;
    const CZelStringT<T>* m_owner;
};

}  // namespace zel_text
