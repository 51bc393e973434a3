#pragma once

#include "lookup/Answer.h"

namespace ds {

// How each record is written: the window's own line, tab- or
// comma-separated values, or one JSON object per line.
enum class RecordFormat { Text, Tsv, Csv, Jsonl };

// Which records to let through: the free names, the taken ones (those in
// redemption or pending delete among them), the failed ones, or only the
// names in redemption or pending delete.
enum class RecordSelection { Free, Taken, Failed, Dropping };
bool selects(RecordSelection selection, Verdict verdict);

} // namespace ds
