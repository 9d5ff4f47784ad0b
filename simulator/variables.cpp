#include "simulator/variables.h"

float shareWeak = 0;
float shareStrong = 0;
float shareMedium = 0;
float sweepColumn = 0;
float gradientIndex = 0;
std::string gradientText;
float emissionFrom = 0;
float emissionTo = 0;
float fireCutPercent = 0;
float tableRow = 0;
float emissionStep = 0;
float currentEmission = 0;
float chartTop = 0;
float chartBottom = 0;
float chartSpan = 0;
std::string endOfRunKey;
long long tableRowsPrinted = 0;
