#pragma once

#include "velmorutils/platform/Export.h"

// OLE Automation strings: 16-bit units preceded by their length in bytes (32-bit) and followed by
// a zero unit. A BSTR points at the first unit; null is the empty BSTR. They live on the C
// runtime's heap, not on the library heap, and are released with SysFreeString only.
typedef unsigned short* BSTR;

// A new BSTR of len units copied from src (src null: the units are left zero). Null on failure.
VELMORUTILS_API BSTR SysAllocStringLen(const unsigned short* src, unsigned int len);

// Replaces *p by a BSTR of len units copied from src (which may lie inside *p). Returns non-zero
// on success; on failure *p is unchanged.
VELMORUTILS_API int SysReAllocStringLen(BSTR* p, const unsigned short* src, unsigned int len);

VELMORUTILS_API void SysFreeString(BSTR s);

// The number of units; 0 for null.
VELMORUTILS_API unsigned int SysStringLen(BSTR s);
