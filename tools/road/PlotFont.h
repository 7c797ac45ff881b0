#pragma once

#include <cairo.h>

#include <string>
#include <vector>

namespace road {

// The face the plot asks for first. Its Latin, Greek and Cyrillic glyphs draw most labels;
// fontconfig names the faces that draw the rest.
inline constexpr const char* kPlotFontFamily = "DejaVu Sans";

// A piece of a text that one face draws.
struct FontRun {
    cairo_font_face_t* face = nullptr;  // owned by the font cache; lives as long as the process
    std::string text;                   // valid UTF-8
};

// The text cut into runs, each drawn by the first face of fontconfig's fallback list for the
// plot's family (and weight) that has its characters: the plot's own face for Latin text, a CJK
// face (fonts-noto-cjk) for Japanese, Chinese or Korean names. A character no installed face
// has stays with the plot's face, which draws it as an empty box. Bytes that are not UTF-8 are
// drawn as U+FFFD. Not safe to call from two threads at once.
std::vector<FontRun> fontRuns(const std::string& utf8, bool bold);

}  // namespace road
