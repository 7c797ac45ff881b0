#pragma once

#include <proj.h>

#include <memory>
#include <string>

#include <velmorutils/proj/Crs.h>

// PROJ's handles owned by the objects of this component, and the CRS reading they share.
namespace zel_proj::detail {

struct ContextDeleter {
    void operator()(PJ_CONTEXT* c) const { proj_context_destroy(c); }
};
struct PjDeleter {
    void operator()(PJ* p) const { proj_destroy(p); }
};
using ContextPtr = std::unique_ptr<PJ_CONTEXT, ContextDeleter>;
using PjPtr = std::unique_ptr<PJ, PjDeleter>;

// A context of its own, which never asks the network and logs nothing: PROJ's messages become
// the error texts of the calls instead.
ContextPtr newContext();
// PROJ's last error in the context, as text.
std::string lastError(PJ_CONTEXT* ctx);

// The CRS of a text (Crs.h says which), null with a message naming the text when it is not one.
PjPtr createCrs(PJ_CONTEXT* ctx, const std::string& definition, std::string& error);
// What the CRS is: its kind, axis units, vertical part.
CrsInfo describe(PJ_CONTEXT* ctx, PJ* crs);
// The horizontal part of a CRS: itself, or the first part of a compound CRS.
PjPtr horizontalPart(PJ_CONTEXT* ctx, PJ* crs);

}  // namespace zel_proj::detail
