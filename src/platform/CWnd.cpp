#include "velmorutils/platform/CWnd.h"

CWnd::CWnd(int clientWidth, int charWidth) : m_clientWidth(clientWidth), m_charWidth(charWidth) {}

CWnd::~CWnd() = default;

int CWnd::GetClientWidth() const {
    return m_clientWidth;
}

int CWnd::GetTextWidth(const char*, int length) const {
    return length * m_charWidth;
}
