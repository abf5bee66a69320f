#pragma once

#include <QString>

// The service code typed into TFAccess decides the dialog's modal result: 7 to 10 for the four
// codes, 5 for anything else. The service level is the result minus 5.
int accessModalResult(const QString& code);
int accessLevelOf(int modalResult);
// The level a code opens: 0 for a wrong or empty one.
int accessLevelOfCode(const QString& code);
// What a wrong code is answered with.
QString wrongCodeText();
