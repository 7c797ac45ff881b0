#include "PlotFont.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <cstdint>

namespace road {
namespace {

// The faces fontconfig offers for the plot's family at one weight, best first, each covering
// characters the ones before it do not (the list is trimmed); a face is made when first used.
class FallbackList {
public:
    explicit FallbackList(bool bold) {
        request_ = FcPatternCreate();
        FcPatternAddString(request_, FC_FAMILY, reinterpret_cast<const FcChar8*>(kPlotFontFamily));
        FcPatternAddInteger(request_, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(request_, FC_SLANT, FC_SLANT_ROMAN);
        FcConfigSubstitute(nullptr, request_, FcMatchPattern);
        FcDefaultSubstitute(request_);
        FcResult result = FcResultMatch;
        fonts_ = FcFontSort(nullptr, request_, FcTrue, nullptr, &result);
        const int n = fonts_ != nullptr ? fonts_->nfont : 0;
        faces_.assign(static_cast<size_t>(n), nullptr);
    }

    // The first face that has the character; 0 (the best match) when none has it.
    size_t faceFor(uint32_t codePoint) const {
        for (size_t i = 0; i < faces_.size(); ++i) {
            FcCharSet* chars = nullptr;
            if (FcPatternGetCharSet(fonts_->fonts[i], FC_CHARSET, 0, &chars) == FcResultMatch &&
                FcCharSetHasChar(chars, codePoint))
                return i;
        }
        return 0;
    }

    cairo_font_face_t* face(size_t i) {
        if (faces_.empty()) return fallback();
        if (faces_[i] == nullptr) {
            FcPattern* p = FcFontRenderPrepare(nullptr, request_, fonts_->fonts[i]);
            if (p == nullptr) return fallback();
            faces_[i] = cairo_ft_font_face_create_for_pattern(p);  // keeps its own reference
            FcPatternDestroy(p);
        }
        return faces_[i];
    }

private:
    // Without any font fontconfig knows of, cairo's own choice for the family.
    cairo_font_face_t* fallback() {
        if (toy_ == nullptr)
            toy_ = cairo_toy_font_face_create(kPlotFontFamily, CAIRO_FONT_SLANT_NORMAL,
                                              CAIRO_FONT_WEIGHT_NORMAL);
        return toy_;
    }

    FcPattern* request_ = nullptr;
    FcFontSet* fonts_ = nullptr;
    std::vector<cairo_font_face_t*> faces_;
    cairo_font_face_t* toy_ = nullptr;
};

FallbackList& fallbacks(bool bold) {
    static FallbackList regular(false), boldList(true);
    return bold ? boldList : regular;
}

// The code point of the UTF-8 sequence at s[i] and its length in bytes; U+FFFD and one byte
// for a byte that does not start a well-formed sequence.
uint32_t decode(const std::string& s, size_t i, size_t& length) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    uint32_t cp = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
    bool ok = length != 0 && i + length <= s.size();
    for (size_t k = 1; ok && k < length; ++k) {
        ok = (byte(i + k) & 0xC0) == 0x80;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static constexpr uint32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
    ok = ok && cp >= kLeast[length] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    if (ok) return cp;
    length = 1;
    return 0xFFFD;
}

}  // namespace

std::vector<FontRun> fontRuns(const std::string& utf8, bool bold) {
    FallbackList& list = fallbacks(bold);
    std::vector<FontRun> runs;
    size_t current = 0;
    for (size_t i = 0; i < utf8.size();) {
        size_t n = 0;
        const uint32_t cp = decode(utf8, i, n);
        // A space stays with the text around it, which every face can space.
        const size_t f = cp == ' ' && !runs.empty() ? current : list.faceFor(cp);
        if (runs.empty() || f != current) runs.push_back({list.face(f), ""});
        current = f;
        if (cp == 0xFFFD && n == 1)
            runs.back().text += "\xEF\xBF\xBD";
        else
            runs.back().text.append(utf8, i, n);
        i += n;
    }
    return runs;
}

}  // namespace road
