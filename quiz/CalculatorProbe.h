#pragma once

#include <QString>

#include <memory>

// Tells whether a desktop calculator's window is open right now.
class CalculatorProbe
{
  public:
    virtual ~CalculatorProbe() = default;
    virtual bool CalculatorWindowOpen() = 0;
};

// The probe for this platform. windowSystem is Qt's platform name ("xcb", "wayland",
// "offscreen", "windows"...): it decides whether windows can be listed or only processes.
std::unique_ptr<CalculatorProbe> MakeSystemCalculatorProbe(const QString &windowSystem);
