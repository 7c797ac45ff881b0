#pragma once

// The library is built with hidden symbols; everything callers may use is marked with
// VELMORUTILS_API. A static build exports nothing and needs no marking.
#if defined(VELMORUTILS_STATIC)
#define VELMORUTILS_API
#else
#define VELMORUTILS_API __attribute__((visibility("default")))
#endif
