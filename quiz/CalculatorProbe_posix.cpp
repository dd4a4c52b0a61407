#include "CalculatorProbe.h"

namespace {
class NoCalculatorProbe final : public CalculatorProbe
{
  public:
    bool CalculatorWindowOpen() override { return false; }
};
} // namespace

std::unique_ptr<CalculatorProbe> MakeSystemCalculatorProbe(const QString &)
{
    return std::make_unique<NoCalculatorProbe>();
}
