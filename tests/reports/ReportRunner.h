#pragma once

#include "db/Globals.h"
#include "reports/Reports.h"

#include <QMetaType>

enum class ReportKind { Sales, Value, WantList, Country, Type, Format, Topic };
Q_DECLARE_METATYPE(ReportKind)

inline void RunReport(ReportKind kind)
{
    switch (kind) {
        case ReportKind::Sales:
            SalesReport();
            return;
        case ReportKind::Value:
            ValueReport();
            return;
        case ReportKind::WantList:
            WantListReport();
            return;
        case ReportKind::Country:
            gRptCategory = 3;
            break;
        case ReportKind::Type:
            gRptCategory = 9;
            break;
        case ReportKind::Format:
            gRptCategory = 4;
            break;
        case ReportKind::Topic:
            gRptCategory = 8;
            break;
    }
    CategoryReport();
}
