#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include <velmorutils/landxml/XmlText.h>

#include "Plot.h"
#include "PlotFont.h"

namespace road {
namespace {

// Measuring and drawing cut a text into the same runs of one face each, so the label boxes
// are the drawn glyphs' own.
void selectFont(cairo_t* cr, cairo_font_face_t* face, double size) {
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, size);
}

void drawStroke(cairo_t* cr, const Stroke& s) {
    if (s.points.empty()) return;
    cairo_new_path(cr);
    cairo_move_to(cr, s.points[0].x, s.points[0].y);
    for (size_t i = 1; i < s.points.size(); ++i)
        cairo_line_to(cr, s.points[i].x, s.points[i].y);
    if (s.closed) cairo_close_path(cr);
    cairo_set_source_rgb(cr, s.colour.r, s.colour.g, s.colour.b);
    if (s.filled) {
        cairo_fill(cr);
        return;
    }
    cairo_set_line_width(cr, s.width);
    cairo_set_dash(cr, s.dash.data(), static_cast<int>(s.dash.size()), 0.0);
    cairo_stroke(cr);
}

void drawLabel(cairo_t* cr, const Label& l) {
    cairo_set_source_rgb(cr, l.colour.r, l.colour.g, l.colour.b);
    cairo_save(cr);
    cairo_move_to(cr, l.x, l.y);
    if (l.vertical) cairo_rotate(cr, -M_PI / 2.0);
    for (const FontRun& run : fontRuns(l.text, l.bold)) {
        selectFont(cr, run.face, l.size);
        cairo_show_text(cr, run.text.c_str());  // moves the current point on past the run
    }
    cairo_restore(cr);
}

void drawModel(cairo_t* cr, const PlotModel& m) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (const Stroke& s : m.strokes)
        drawStroke(cr, s);
    for (const Label& l : m.labels)
        drawLabel(cr, l);
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

// The labels as SVG text that is not painted (the glyphs are drawn by cairo as outlines), with
// each label's role and box, so the drawing's words can be found and its layout checked.
std::string textLayer(const PlotModel& m) {
    std::string g = "<g id=\"text\" fill-opacity=\"0\" font-family=\"" +
                    std::string(kPlotFontFamily) + ", sans-serif\">\n";
    for (const Label& l : m.labels) {
        g += "<text class=\"" + zel_landxml::xmlText(l.role) + "\" x=\"" + num(l.x) + "\" y=\"" +
             num(l.y) + "\" font-size=\"" + num(l.size) + "\"";
        if (l.vertical) g += " transform=\"rotate(-90 " + num(l.x) + " " + num(l.y) + ")\"";
        g += " data-box=\"" + num(l.box.x0) + " " + num(l.box.y0) + " " + num(l.box.x1) + " " +
             num(l.box.y1) + "\">" + zel_landxml::xmlText(l.text) + "</text>\n";
    }
    return g + "</g>\n";
}

bool finish(cairo_surface_t* surface, cairo_t* cr, std::string& error) {
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status == CAIRO_STATUS_SUCCESS) return true;
    error = std::string("drawing failed: ") + cairo_status_to_string(status);
    return false;
}

}  // namespace

TextExtent measureText(const std::string& text, double size, bool bold) {
    // A scratch surface only for font metrics; cairo's toy text API needs a context.
    static cairo_surface_t* const surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    static cairo_t* const cr = cairo_create(surface);
    TextExtent out;
    double advance = 0.0;  // of the runs before this one
    for (const FontRun& run : fontRuns(text, bold)) {
        selectFont(cr, run.face, size);
        cairo_font_extents_t font;
        cairo_font_extents(cr, &font);
        cairo_text_extents_t ext;
        cairo_text_extents(cr, run.text.c_str(), &ext);
        out.width = advance + std::max(ext.x_advance, ext.x_bearing + ext.width);
        advance += ext.x_advance;
        out.ascent = std::max(out.ascent, font.ascent);
        out.descent = std::max(out.descent, font.descent);
    }
    if (text.empty()) {  // a line's height all the same, in the plot's own face
        selectFont(cr, fontRuns(" ", bold).front().face, size);
        cairo_font_extents_t font;
        cairo_font_extents(cr, &font);
        out.ascent = font.ascent;
        out.descent = font.descent;
    }
    return out;
}

std::optional<PlotFormat> plotFormatOf(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return std::nullopt;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "svg") return PlotFormat::Svg;
    if (ext == "pdf") return PlotFormat::Pdf;
    if (ext == "png") return PlotFormat::Png;
    return std::nullopt;
}

bool renderPlot(const PlotModel& m, PlotFormat format, std::string& bytes, std::string& error) {
    bytes.clear();
    if (format == PlotFormat::Png) {
        const double k = kPngDotsPerInch / 72.0;
        const int w = static_cast<int>(std::ceil(m.width * k));
        const int h = static_cast<int>(std::ceil(m.height * k));
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, k, k);
        drawModel(cr, m);
        cairo_surface_flush(surface);
        const cairo_status_t s = cairo_surface_write_to_png_stream(surface, appendBytes, &bytes);
        if (s != CAIRO_STATUS_SUCCESS) {
            error = std::string("PNG encoding failed: ") + cairo_status_to_string(s);
            cairo_destroy(cr);
            cairo_surface_destroy(surface);
            return false;
        }
        return finish(surface, cr, error);
    }
    cairo_surface_t* surface =
        format == PlotFormat::Pdf
            ? cairo_pdf_surface_create_for_stream(appendBytes, &bytes, m.width, m.height)
            : cairo_svg_surface_create_for_stream(appendBytes, &bytes, m.width, m.height);
    cairo_t* cr = cairo_create(surface);
    drawModel(cr, m);
    if (!finish(surface, cr, error)) return false;
    if (format == PlotFormat::Svg) {
        const size_t end = bytes.rfind("</svg>");
        if (end == std::string::npos) return error = "SVG output incomplete", false;
        bytes.insert(end, textLayer(m));
    }
    return true;
}

bool renderPages(const std::vector<PlotModel>& pages, PlotFormat format,
                 std::vector<std::string>& files, std::string& error) {
    files.clear();
    if (pages.empty()) return error = "nothing to draw", false;
    if (format != PlotFormat::Pdf) {
        for (const PlotModel& m : pages) {
            files.emplace_back();
            if (!renderPlot(m, format, files.back(), error)) return false;
        }
        return true;
    }
    files.emplace_back();
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(appendBytes, &files.back(),
                                                                   pages[0].width, pages[0].height);
    cairo_t* cr = cairo_create(surface);
    for (const PlotModel& m : pages) {
        cairo_pdf_surface_set_size(surface, m.width, m.height);
        drawModel(cr, m);
        cairo_show_page(cr);
    }
    return finish(surface, cr, error);
}

}  // namespace road
