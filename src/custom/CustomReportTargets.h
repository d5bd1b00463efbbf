#pragma once

// The real targets of custom reports: the preview window's print surface, the
// text file and the HTML file of the report engine.

#include "custom/CustomReportOutput.h"

#include <memory>

// The writer for the report's target.
std::unique_ptr<CustomReportWriter> MakeCustomReportWriter(const CustomReport& report);

// Makes GenerateCustomReport write to the real targets (done once at start-up).
void InstallCustomReportTargets();
