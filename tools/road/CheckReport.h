#pragma once

// The as-built check as the road tool shows it: the shots with their results, the summary as
// text or CSV, and the one page a client files.

#include <cstdio>
#include <string>
#include <vector>

#include <velmorutils/landxml/AsBuiltCheck.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>

#include "TableFormat.h"

namespace road {

struct CheckRun {
    std::vector<zel_landxml::AsBuiltShot> shots;
    std::vector<zel_landxml::AsBuiltResult> results;  // one per shot
    std::vector<zel_landxml::AsBuiltStats> stats;     // summarizeAsBuilt, all shots first
    long long unreadLines = 0;  // lines of the shot file that are not shots (bad shots too)
    zel_landxml::AsBuiltOptions options;
    std::string design, shotFile;  // names for titles
};

// What the shots were checked against, in words, for the summary and the report.
std::string checkBasis(const CheckRun& run, const TableStyle& style);
// Bad shots of the whole run: the results that are not ok and the unread lines.
long long badShots(const CheckRun& run);

// The summary as text lines (for standard error and the report) or as CSV (for --summary):
// per row all shots or one code, the count, bad shots, and for each deviation its count, mean,
// RMS, maximum and share within tolerance.
std::vector<std::vector<std::string>> summaryCells(const CheckRun& run, const TableStyle& style);
std::string summaryText(const CheckRun& run, const TableStyle& style);
std::string summaryCsv(const CheckRun& run, const TableStyle& style);

// Whether a report can be written to this path: .pdf or .png (any case).
bool reportFormatOk(const std::string& path);
// The report page (PDF or PNG by the extension): title, the summary table, a histogram of each
// deviation against its tolerance, and a plan of the shots along the road coloured by result.
bool writeCheckReport(const std::string& path, const CAlnt& alnt, const CheckRun& run,
                      const TableStyle& style, std::string& error);

}  // namespace road
