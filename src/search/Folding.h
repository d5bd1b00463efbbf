#pragma once

#include <QString>

// The one rule by which collector text is matched: letter case in every script
// and accents and other combining marks do not matter ("oster" finds
// "Österreich", "ελλαδα" finds "Ελλάδα"), and letters without a decomposition
// take their customary base (ß ss, æ ae, ø o, œ oe, ł l, đ d, þ th).
//
// Both the stored text and what the collector types go through it, so a match
// is a plain comparison of folded texts. The wildcards "*" and "?" of the
// program's like texts come through unchanged.
QString FoldText(const QString& text);

// The version of the rule above, recorded with stored folded texts; raise it
// whenever FoldText would give another result for some text.
inline constexpr int kFoldRuleVersion = 1;
