#pragma once

#include <vector>

#include "config/ConfigRecord.h"

// A service bench's R-420ZA record with a value in every block (its CRC right): serial "0417",
// date 12.03.2025, description "Стенд сервисного отдела", address 00-1A-2B-3C-4D-5E.
ConfigRecord benchRecord();

// Records of any bytes, odd stored values and every model code included, each with its CRC
// stamped so that it opens: the same ones on every run.
std::vector<ConfigRecord> oddRecords(int count);
