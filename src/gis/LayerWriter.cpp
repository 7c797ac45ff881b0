#include <velmorutils/gis/LayerWriter.h>

#include <unistd.h>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <velmorutils/utils/AtomicFileWriter.h>

namespace zel_gis {
namespace {

namespace fs = std::filesystem;
using zel_landxml::Feature;
using zel_landxml::FieldType;
using zel_landxml::Vertex;

struct FormatName {
    Format format;
    const char* text;
    const char* driver;
    const char* extension;
};

constexpr FormatName kFormats[] = {
    {Format::Dxf, "dxf", "", ".dxf"},
    {Format::GeoPackage, "gpkg", "GPKG", ".gpkg"},
    {Format::GeoJson, "geojson", "GeoJSON", ".geojson"},
    {Format::Kml, "kml", "KML", ".kml"},
    {Format::Shapefile, "shp", "ESRI Shapefile", ""},
};

const FormatName& nameOf(Format f) {
    for (const FormatName& n : kFormats)
        if (n.format == f) return n;
    return kFormats[0];
}

// GDAL's last message, or the fallback when it left none.
std::string gdalError(const char* fallback) {
    const char* msg = CPLGetLastErrorMsg();
    return msg != nullptr && *msg != '\0' ? std::string(msg) : std::string(fallback);
}

// Spatial references owned here; every one in GIS's traditional axis order (x east or
// longitude, y north or latitude).
struct Srs {
    OGRSpatialReferenceH h = nullptr;
    Srs() : h(OSRNewSpatialReference(nullptr)) {}
    ~Srs() { OSRDestroySpatialReference(h); }
    Srs(const Srs&) = delete;
    Srs& operator=(const Srs&) = delete;
    bool set(const std::string& text, std::string& error) {
        if (OSRSetFromUserInput(h, text.c_str()) != OGRERR_NONE) {
            error = "the CRS '" + text + "' is not one GDAL knows: " + gdalError("unreadable");
            return false;
        }
        OSRSetAxisMappingStrategy(h, OAMS_TRADITIONAL_GIS_ORDER);
        return true;
    }
};

// How the layers' plane points (metres, northing first) become the file's x and y.
struct Placement {
    double perMetre = 1.0;  // file units per metre, plane formats
    OGRCoordinateTransformationH toWgs84 = nullptr;
    ~Placement() {
        if (toWgs84 != nullptr) OCTDestroyCoordinateTransformation(toWgs84);
    }
    bool place(const Vertex& v, double& x, double& y) const {
        x = v.east * perMetre;
        y = v.north * perMetre;
        return toWgs84 == nullptr ||
               (OCTTransform(toWgs84, 1, &x, &y, nullptr) && std::isfinite(x) && std::isfinite(y));
    }
};

// Sets up the placement and the layers' spatial reference (null: none) for the target.
bool preparePlacement(const Target& t, Srs& design, Srs& wgs84, Placement& p,
                      OGRSpatialReferenceH& layerSrs, std::string& error) {
    layerSrs = nullptr;
    p.perMetre = zel_landxml::fromMetres(1.0, t.unit);
    if (t.crs.empty()) {
        if (!needsCrs(t.format)) return true;
        error = std::string(formatText(t.format)) +
                " holds WGS 84 longitude and latitude, which needs the design's coordinate "
                "system: the design names none; give it with --crs (e.g. --crs EPSG:3878)";
        return false;
    }
    if (!design.set(t.crs, error)) return false;
    if (!OSRIsProjected(design.h)) {
        error = "the CRS '" + t.crs +
                "' is not a projected grid: the design's points are plane "
                "northings and eastings";
        return false;
    }
    p.perMetre = 1.0 / OSRGetLinearUnits(design.h, nullptr);
    layerSrs = design.h;
    if (!needsCrs(t.format)) return true;
    OSRImportFromEPSG(wgs84.h, 4326);
    OSRSetAxisMappingStrategy(wgs84.h, OAMS_TRADITIONAL_GIS_ORDER);
    p.toWgs84 = OCTNewCoordinateTransformation(design.h, wgs84.h);
    if (p.toWgs84 == nullptr) {
        error = "no transformation from '" + t.crs + "' to WGS 84: " + gdalError("none found");
        return false;
    }
    layerSrs = wgs84.h;
    return true;
}

OGRFieldType ogrType(FieldType t) {
    return t == FieldType::Real ? OFTReal : t == FieldType::Integer ? OFTInteger64 : OFTString;
}

OGRGeometryH geometryOf(const Layer& layer, const Feature& f, const Placement& p) {
    const bool point = layer.geometry == zel_landxml::GeometryKind::Point;
    OGRGeometryH g = OGR_G_CreateGeometry(point ? wkbPoint : wkbLineString);
    for (const Vertex& v : f.vertices) {
        double x = 0.0, y = 0.0;
        if (!p.place(v, x, y)) {
            OGR_G_DestroyGeometry(g);
            return nullptr;
        }
        if (point) {
            OGR_G_SetPoint_2D(g, 0, x, y);
            break;
        }
        OGR_G_AddPoint_2D(g, x, y);
    }
    return g;
}

// The fields of an OGR layer: its own, and `layer` first where every layer shares one table.
bool createFields(OGRLayerH out, const std::vector<zel_landxml::Field>& fields,
                  std::string& error) {
    for (const zel_landxml::Field& field : fields) {
        OGRFieldDefnH d = OGR_Fld_Create(field.name.c_str(), ogrType(field.type));
        const OGRErr e = OGR_L_CreateField(out, d, TRUE);
        OGR_Fld_Destroy(d);
        if (e != OGRERR_NONE) {
            error = "field '" + field.name + "': " + gdalError("cannot be created");
            return false;
        }
    }
    return true;
}

void setValues(OGRFeatureH f, OGRFeatureDefnH defn, const Layer& layer, const Feature& feature) {
    for (std::size_t i = 0; i < layer.fields.size() && i < feature.values.size(); ++i) {
        const int k = OGR_FD_GetFieldIndex(defn, layer.fields[i].name.c_str());
        const zel_landxml::FieldValue& v = feature.values[i];
        if (k < 0) continue;
        if (v.null) {
            OGR_F_SetFieldNull(f, k);
        } else if (layer.fields[i].type == FieldType::Real) {
            OGR_F_SetFieldDouble(f, k, v.real);
        } else if (layer.fields[i].type == FieldType::Integer) {
            OGR_F_SetFieldInteger64(f, k, v.integer);
        } else {
            OGR_F_SetFieldString(f, k, v.text.c_str());
        }
    }
}

bool writeFeatures(OGRLayerH out, const Layer& layer, const Placement& p, bool named,
                   std::string& error) {
    OGRFeatureDefnH defn = OGR_L_GetLayerDefn(out);
    // KML gives every layer a Name field of its own, the placemark's name: it gets the label.
    const int placemarkName =
        p.toWgs84 != nullptr && !named ? OGR_FD_GetFieldIndex(defn, "Name") : -1;
    for (const Feature& feature : layer.features) {
        OGRGeometryH g = geometryOf(layer, feature, p);
        if (g == nullptr) {
            error = "a point of layer " + layer.name + " cannot be transformed to WGS 84";
            return false;
        }
        OGRFeatureH f = OGR_F_Create(defn);
        OGR_F_SetGeometryDirectly(f, g);
        if (named) OGR_F_SetFieldString(f, OGR_FD_GetFieldIndex(defn, "layer"), layer.name.c_str());
        if (placemarkName >= 0 && !feature.label.empty())
            OGR_F_SetFieldString(f, placemarkName, feature.label.c_str());
        setValues(f, defn, layer, feature);
        const OGRErr e = OGR_L_CreateFeature(out, f);
        OGR_F_Destroy(f);
        if (e != OGRERR_NONE) {
            error = "layer " + layer.name + ": " + gdalError("a feature cannot be written");
            return false;
        }
    }
    return true;
}

OGRwkbGeometryType geometryType(const Layer& l) {
    return l.geometry == zel_landxml::GeometryKind::Point ? wkbPoint : wkbLineString;
}

// GeoJSON is one layer: every feature, with the union of the layers' fields after `layer`.
bool writeSingleLayer(GDALDatasetH ds, const std::vector<Layer>& layers, const Placement& p,
                      OGRSpatialReferenceH srs, std::string& error) {
    // RFC 7946: WGS 84 longitude, latitude, no crs member. 1e-10 degrees is 0.01 mm: the file
    // keeps the survey's precision (the standard suggests less).
    const char* options[] = {"RFC7946=YES", "COORDINATE_PRECISION=10", nullptr};
    OGRLayerH out =
        GDALDatasetCreateLayer(ds, "road", srs, wkbUnknown, const_cast<char**>(options));
    if (out == nullptr) return error = gdalError("the layer cannot be created"), false;
    std::vector<zel_landxml::Field> all{{"layer"}};
    for (const Layer& l : layers)
        for (const zel_landxml::Field& f : l.fields) {
            bool known = false;
            for (const zel_landxml::Field& a : all)
                known = known || a.name == f.name;
            if (!known) all.push_back(f);
        }
    if (!createFields(out, all, error)) return false;
    for (const Layer& l : layers)
        if (!writeFeatures(out, l, p, true, error)) return false;
    return true;
}

bool writeEachLayer(GDALDatasetH ds, const std::vector<Layer>& layers, const Placement& p,
                    OGRSpatialReferenceH srs, std::string& error) {
    // A Shapefile says its text is UTF-8 (in its .cpg), which every other format is anyway.
    const char* options[] = {"ENCODING=UTF-8", nullptr};
    const bool shapefile =
        std::string(GDALGetDriverShortName(GDALGetDatasetDriver(ds))) == "ESRI Shapefile";
    for (const Layer& l : layers) {
        OGRLayerH out = GDALDatasetCreateLayer(ds, l.name.c_str(), srs, geometryType(l),
                                               shapefile ? const_cast<char**>(options) : nullptr);
        if (out == nullptr)
            return error = "layer " + l.name + ": " + gdalError("cannot be created"), false;
        if (!createFields(out, l.fields, error) || !writeFeatures(out, l, p, false, error))
            return false;
    }
    return true;
}

// Writes the dataset at `path` (a new file or folder) with GDAL.
bool writeDataset(const std::string& path, const std::vector<Layer>& layers, const Target& t,
                  std::string& error) {
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    GDALDriverH driver = GDALGetDriverByName(nameOf(t.format).driver);
    if (driver == nullptr) {
        error = std::string("this GDAL has no ") + nameOf(t.format).driver + " driver";
        return false;
    }
    Srs design, wgs84;
    Placement p;
    OGRSpatialReferenceH srs = nullptr;
    if (!preparePlacement(t, design, wgs84, p, srs, error)) return false;
    GDALDatasetH ds = GDALCreate(driver, path.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
    if (ds == nullptr) return error = gdalError("cannot be created"), false;
    const bool transaction = GDALDatasetStartTransaction(ds, FALSE) == OGRERR_NONE;
    bool ok = t.format == Format::GeoJson ? writeSingleLayer(ds, layers, p, srs, error)
                                          : writeEachLayer(ds, layers, p, srs, error);
    if (ok && transaction && GDALDatasetCommitTransaction(ds) != OGRERR_NONE) {
        error = gdalError("the layers cannot be committed");
        ok = false;
    }
    CPLErrorReset();
    GDALClose(ds);
    if (ok && CPLGetLastErrorType() >= CE_Failure) {
        error = gdalError("the file cannot be completed");
        ok = false;
    }
    return ok;
}

// A path beside the target, in its own folder, that no other writer uses.
std::string scratchPath(const fs::path& target, const char* extension) {
    static std::atomic<int> counter{0};
    const fs::path dir = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    return (dir / ("." + target.filename().string() + ".tmp-" + std::to_string(getpid()) + "-" +
                   std::to_string(++counter) + extension))
        .string();
}

bool commitFile(const std::string& scratch, const std::string& path, std::string& error) {
    std::ifstream in(scratch, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    CAtomicFileWriter out(path.c_str());
    if (!in || !out.IsOpen() || !out.Write(bytes.str()) || !out.Commit()) {
        error = out.ErrorText().empty() ? "cannot read back " + scratch : out.ErrorText();
        return false;
    }
    return true;
}

// Whether a folder holds nothing but the files of an earlier export of these layers, so that
// replacing it loses nothing of the user's.
bool onlyLayerFiles(const fs::path& folder, const std::vector<Layer>& layers) {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        bool ours = false;
        for (const Layer& l : layers)
            ours = ours || e.path().stem() == l.name;
        if (!ours || !e.is_regular_file(ec)) return false;
    }
    return !ec;
}

// Puts a finished folder in place of `path`: an existing folder is moved aside first and
// removed after, so the target is at every moment either the old folder or the new one. A
// folder that holds anything else than an earlier export of the same layers is not replaced.
bool commitFolder(const std::string& scratch, const std::string& path,
                  const std::vector<Layer>& layers, std::string& error) {
    std::error_code ec;
    const fs::path target(path);
    const bool exists = fs::exists(target, ec);
    if (exists && !fs::is_directory(target, ec)) {
        error = path + ": exists and is not a folder (a Shapefile export is a folder)";
        return false;
    }
    if (exists && !onlyLayerFiles(target, layers)) {
        error = path +
                ": the folder holds other files than the layers' own; a Shapefile export "
                "replaces its whole folder, so give a new or an earlier export's folder";
        return false;
    }
    const std::string aside = scratchPath(target, ".old");
    if (exists) fs::rename(target, aside, ec);
    if (!ec) fs::rename(scratch, target, ec);
    if (ec) {
        error = path + ": " + ec.message();
        if (exists) fs::rename(aside, target, ec);
        return false;
    }
    if (exists) fs::remove_all(aside, ec);
    return true;
}

bool writeOgr(const std::string& path, const std::vector<Layer>& layers, const Target& t,
              std::string& error) {
    const bool folder = t.format == Format::Shapefile;
    const std::string scratch = scratchPath(fs::path(path), nameOf(t.format).extension);
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
    bool ok = writeDataset(scratch, layers, t, error);
    CPLPopErrorHandler();
    if (ok)
        ok = folder ? commitFolder(scratch, path, layers, error) : commitFile(scratch, path, error);
    std::error_code ec;
    fs::remove_all(scratch, ec);
    if (!ok && error.rfind(path, 0) != 0) error = path + ": " + error;
    return ok;
}

}  // namespace

bool formatFromText(const std::string& text, Format& format) {
    for (const FormatName& n : kFormats)
        if (text == n.text) {
            format = n.format;
            return true;
        }
    return false;
}

const char* formatText(Format format) {
    switch (format) {
        case Format::Dxf:
            return "DXF";
        case Format::GeoPackage:
            return "GeoPackage";
        case Format::GeoJson:
            return "GeoJSON";
        case Format::Kml:
            return "KML";
        default:
            return "Shapefile";
    }
}

bool needsCrs(Format format) {
    return format == Format::GeoJson || format == Format::Kml;
}

bool writeLayers(const std::string& path, const std::vector<Layer>& layers, const Target& target,
                 std::string& error) {
    error.clear();
    if (target.format != Format::Dxf) return writeOgr(path, layers, target, error);
    CAtomicFileWriter out(path.c_str());
    if (out.IsOpen() && out.Write(dxfText(layers, target.unit)) && out.Commit()) return true;
    error = out.ErrorText();
    return false;
}

}  // namespace zel_gis
