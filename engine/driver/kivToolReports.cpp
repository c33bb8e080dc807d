// kivToolReports.cpp - TkivTool's nondeterminism reports: a headline and one line per lookahead depth.
// The reports read the element graph and lookahead sets; they are filled in with the analyzer.
#include "engine/driver/kivTool.h"

void TkivTool::AltsNondeterminism(const IkivGrammar&, IkivAlternativeBlock&, bool, int,
                                  const TkivLookaheadList&, int, int) {}

void TkivTool::ExitBranchNondeterminism(const IkivGrammar&, IkivAlternativeBlock&, bool, int,
                                        const TkivLookaheadList&, int) {}
