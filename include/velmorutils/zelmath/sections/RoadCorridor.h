#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/sections/CrossSectionSet.h"
#include "velmorutils/zelmath/sections/RoadTemplate.h"
#include "velmorutils/zelmath/sections/SectionProfile.h"
#include "velmorutils/zelmath/sections/Superelevation.h"
#include "velmorutils/zelmath/surfaces/TinSurface.h"

class CAlnt;

namespace zel_math {

/// A road beyond its centre line: an alignment (not owned; it must outlive the corridor) and ONE
/// design model, the last one set: sections from a file, a typical section with superelevation,
/// or a finished-grade TIN. Everything in metres, internal chainage, offsets right positive,
/// absolute heights. Const queries are safe from several threads when the alignment's are.
class VELMORUTILS_API CRoadCorridor {
public:
    explicit CRoadCorridor(const CAlnt& alnt);

    /// Sections from a file, heights absolute.
    void setSections(CCrossSectionSet sections);
    /// A typical section turned by superelevation; each superelevation is checked
    /// (checkSuperelevation) and its outside found from the alignment's curvature. False, model
    /// unchanged, error naming the superelevation's staStart, when one fails.
    bool setTemplate(TRoadTemplate road, std::vector<TSuperelevation> table, std::string& error);
    /// A finished-grade TIN: the design height is the TIN's under the point. Sections across it
    /// (profileAt) reach halfWidth metres each side at most.
    void setDesignSurface(std::shared_ptr<const CTinSurface> tin, double halfWidth = 100.0);

    /// Side slopes (and ditches) of a template used over the model's own: each slope the
    /// template gives (above 0) replaces the one the sections' hinge-to-daylight or nothing gave.
    /// The template's segments are not used by this call.
    void setSideSlopes(const TRoadTemplate& road);

    bool hasModel() const { return model_ != Model::None; }
    const CAlnt& alnt() const { return *alnt_; }
    const TRoadTemplate* roadTemplate() const {
        return model_ == Model::Template ? &road_ : nullptr;
    }

    /// The finished surface at a chainage: the interpolated sections; the template built about
    /// the profile's height there (points coded with their segment's code, "CL" at offset 0,
    /// hinges at the ends, side slopes and ditch from the template); or the design TIN along
    /// the section, the run of ground around offset 0 (no codes; hinges at its ends). False with
    /// error where there is none (no model, beyond the sections, off the profile, no TIN at the
    /// centre line).
    bool profileAt(double chainage, TSectionProfile& profile, std::string& error) const;

    /// THE design height (metres) at a chainage and offset (metres, right positive), and the
    /// code of the surface there (see sectionHeightAt; none for a TIN). False off the model
    /// (beyond the finished surface's ends, between sections that cannot be matched, off the
    /// TIN); error says why when given.
    bool designHeight(double chainage, double offset, double& height, std::string* code = nullptr,
                      std::string* error = nullptr) const;

    /// designHeight for n points at once; NaN where there is none. Returns how many have one.
    std::size_t designHeights(const double* chainages, const double* offsets, std::size_t n,
                              double* heights) const;

private:
    enum class Model { None, Sections, Template, Surface };
    bool templateProfile(double chainage, TSectionProfile& profile, std::string& error) const;
    bool surfaceProfile(double chainage, TSectionProfile& profile, std::string& error) const;
    void applySideSlopes(TSectionProfile& profile) const;

    const CAlnt* alnt_;
    Model model_ = Model::None;
    CCrossSectionSet sections_;
    TRoadTemplate road_;
    std::vector<TSuperelevation> table_;
    std::vector<bool> outsideRight_;
    std::shared_ptr<const CTinSurface> tin_;
    bool slopesGiven_ = false;
    TRoadTemplate slopes_;
    double tinHalfWidth_ = 100.0;
};

}  // namespace zel_math
