// The lines that tell the user what a restore run did with the files it was
// given: how many it created, left as they were, replaced, kept beside a
// different file or skipped; for a stopped run, how many came back and how
// many did not; and the question asked before a run meets different files.
#pragma once

#include <cstddef>
#include <string>

#include "restore/RestoreRun.h"
#include "restore/RestoreSummary.h"

namespace varnoket {

// "Fichiers : 2 créé(s), 1 laissé(s) tel(s) quel(s) (déjà à jour), ..."
std::string OutcomeCountsText(const RestoreRunTotals& totals);

// For a stopped run of `tickedFiles` files: "Fichiers restaurés : 2 ; non
// restaurés : 5". Files skipped, failed or never reached are not restored.
std::string StoppedCountsText(const RestoreRunTotals& totals, size_t tickedFiles);

// SummaryOf with the counts above on the lines after its own.
RestoreSummary RunSummaryOf(const RestoreRunTotals& totals, size_t tickedFiles);

// Asked once before a run whose destinations hold `count` different files.
std::string ExistingFilesQuestionText(size_t count);

}  // namespace varnoket
