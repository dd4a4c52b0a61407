#pragma once

#include <QElapsedTimer>

// Seconds on a clock that only moves forward, so durations stay right across midnight and
// changes of the system time. Tests advance a fake one by hand.
class Clock
{
  public:
    virtual ~Clock() = default;
    virtual double Seconds() = 0;
};

class MonotonicClock final : public Clock
{
  public:
    MonotonicClock() { m_timer.start(); }
    double Seconds() override { return static_cast<double>(m_timer.nsecsElapsed()) * 1e-9; }

  private:
    QElapsedTimer m_timer;
};
