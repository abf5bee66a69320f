#pragma once

#include <QString>

// A gain in half decibels as the editors show it: the shortest decimal form (whole decibels
// without a decimal part, halves with one decimal) in the locale's separator, "+" above zero, so
// -69 reads "-34.5", 0 reads "0" and 36 reads "+18".
QString halfDecibelText(int halfDecibels);
