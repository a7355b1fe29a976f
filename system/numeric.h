#pragma once
// Numeric helpers shared by the whole program: the truncating real-to-integer
// conversion used wherever a real is stored in an integer, and degree-based trigonometry.
#include <cstdint>

int32_t TruncToInt(double x);
int32_t Abs(int32_t i);
double Abs(double x);
double Sqrt(double x);
double Pow(double x, double y);
double Mod(double x, double y);
double Sin(double degrees);
double Cos(double degrees);
double Tan(double degrees);
double ASin(double v);
double ACos(double v);
double ATan(double v);
double ATan2(double y, double x);
