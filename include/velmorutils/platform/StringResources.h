#pragma once

#include "velmorutils/platform/Export.h"

// String resources. This platform has no resource files, so the application registers its texts
// under their numeric ids at start-up; the string class loads them from here by id.
namespace zel_platform {

// Registers (or replaces) the text of resource id. Ids are 16-bit, as resource ids are; text
// null removes the entry.
VELMORUTILS_API void RegisterStringResource(unsigned int id, const char* text);
VELMORUTILS_API void UnregisterStringResource(unsigned int id);

// Copies at most capacity - 1 characters of resource id into buffer and terminates it. Returns
// the number of characters copied, 0 when there is no such resource (the buffer then holds an
// empty text) or capacity is below 1.
VELMORUTILS_API int LoadStringA(unsigned int id, char* buffer, int capacity);

}  // namespace zel_platform
