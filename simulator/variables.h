// The simulator's program-wide variables: single-precision numbers and two texts that
// live for the whole process; each page sets what it relies on.
#pragma once
#include <string>

extern float shareWeak;
extern float shareStrong;
extern float shareMedium;
extern float sweepColumn;
extern float gradientIndex;
extern std::string gradientText;
extern float emissionFrom;
extern float emissionTo;
extern float fireCutPercent;
extern float tableRow;
extern float emissionStep;
extern float currentEmission;
extern float chartTop;
extern float chartBottom;
extern float chartSpan;
extern std::string endOfRunKey;

// Table rows printed since the process started (for the snapshot driver's summary).
extern long long tableRowsPrinted;
