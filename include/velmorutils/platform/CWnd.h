#pragma once

#include "velmorutils/platform/Export.h"

// The little of a window the library needs: the width of its client area and the width of a
// text in its font, both in pixels. The base class measures with a fixed character width;
// an application with a real window derives and measures in that window's font.
class VELMORUTILS_API CWnd {
public:
    explicit CWnd(int clientWidth = 0, int charWidth = 8);
    virtual ~CWnd();

    virtual int GetClientWidth() const;
    virtual int GetTextWidth(const char* text, int length) const;

    void SetClientWidth(int width) { m_clientWidth = width; }
    int GetCharWidth() const { return m_charWidth; }

private:
    int m_clientWidth;
    int m_charWidth;
};

// A window handle is a pointer to that abstraction; null means no window.
using HWND = CWnd*;
