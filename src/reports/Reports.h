#pragma once

// The standard reports, one procedure each, as the Reports menu runs them. They
// write to the target gRptTarget names (1 preview, 2 text file, 3 HTML file).

// The stamps marked sold, with what was paid and what they were sold for.
void SalesReport();
// The stamps held (neither sold nor on the want list), with their catalogue value.
void ValueReport();
// The stamps on the want list, with the price the collector will pay.
void WantListReport();
// The stamps held, grouped by the code table gRptCategory names (3 country,
// 9 type, 4 format, 8 topic), after the selection dialog.
void CategoryReport();
