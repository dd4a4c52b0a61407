#pragma once

#include "CalculatorProbe.h"

#include <QString>

#include <memory>

// The calculator probe for this platform. windowSystem is Qt's platform name ("xcb", "wayland",
// "offscreen", "windows"...): it decides whether windows can be listed or only processes.
std::unique_ptr<CalculatorProbe> MakeSystemCalculatorProbe(const QString &windowSystem);
