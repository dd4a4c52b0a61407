#pragma once

// Tells whether a desktop calculator's window is open right now.
class CalculatorProbe
{
  public:
    virtual ~CalculatorProbe() = default;
    virtual bool CalculatorWindowOpen() = 0;
};
