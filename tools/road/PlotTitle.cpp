#include <filesystem>

#include "PlotLayout.h"

namespace road {
namespace {

// A text shortened from the front ("...") to fit a width, so a long name keeps its end.
std::string fitted(std::string text, double size, double width) {
    if (measureText(text, size, true).width <= width) return text;
    while (text.size() > 4 && measureText("..." + text, size, true).width > width)
        text.erase(0, 1);
    while (!text.empty() && (static_cast<unsigned char>(text[0]) & 0xC0) == 0x80)
        text.erase(0, 1);  // not inside a UTF-8 sequence
    return "..." + text;
}

}  // namespace

std::string plotFileName(const std::string& path) {
    if (path.empty()) return "built-in road";
    const std::string name = std::filesystem::path(path).filename().string();
    return name.empty() ? path : name;
}

void layoutTitleLine(Drawing& d) {
    if (d.sheet.paper) return;
    const std::string name = static_cast<const char*>(d.a.getName());
    Label l = d.label(name + "   \u2014   " + plotFileName(d.o.fileName) + "   \u2014   unit " +
                          d.o.unitSymbol + "   \u2014   " + d.o.date,
                      "title");
    l.size = d.sheet.text * 1.3;
    l.bold = true;
    d.put.place(l, {{{d.sheet.title.x0, d.sheet.title.y0}, {1, 1}, 0}}, d.pageBox());
}

void layoutTitleBlock(Drawing& d) {
    if (!d.sheet.paper) return;
    const Box& b = d.sheet.title;
    const Box& plan = d.sheet.plan;
    d.m.strokes.push_back(rectangle(b, 0.8, kBlack, "titleblock"));
    d.m.strokes.push_back(rectangle(
        {plan.x0 - 6, plan.y0 - 6, d.sheet.width - plan.x0 + 6, d.sheet.height - plan.y0 + 6}, 1.0,
        kBlack, "border"));
    const std::vector<std::pair<std::string, std::string>> rows{
        {"Alignment", static_cast<const char*>(d.a.getName())},
        {"File", plotFileName(d.o.fileName)},
        {"Stations", d.station(d.start) + " to " + d.station(d.end)},
        {"Unit", d.o.unitSymbol + " (coordinates, lengths, heights)"},
        {"Plan scale", d.ratioText(d.m.planRatio)},
        {"Profile scale", d.profileScale},
        {"Date", d.o.date}};
    const double rowH = (b.y1 - b.y0) / rows.size();
    for (size_t i = 0; i < rows.size(); ++i) {
        const double y = b.y0 + i * rowH;
        if (i > 0) d.m.strokes.push_back(line({{b.x0, y}, {b.x1, y}}, 0.3, kBlack, "titleblock"));
        d.put.place(d.label(rows[i].first, "title"), {{{b.x0 + 3, y + rowH / 2}, {1, 0}, 0}}, b);
        const double width = b.x1 - b.x0 - 12 * d.sheet.text;
        Label value = d.label(fitted(rows[i].second, d.sheet.text, width), "title");
        value.bold = i == 0;
        d.put.place(value, {{{b.x0 + 9 * d.sheet.text, y + rowH / 2}, {1, 0}, 0}}, b);
    }
}

}  // namespace road
