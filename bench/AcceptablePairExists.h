#pragma once

#include "Operation.h"

// A closed interval of operand values, lo <= hi.
struct OperandValues
{
    qint64 lo, hi;
};

// The values the operand draws give for min..max with weight 1 / |count|: min..max, or
// max + 1..min - 1 for a reversed range, or min alone for a count of 0. A reversed range also
// gives min for r = 0 exactly (weight 2^-53), included with withMin.
OperandValues ValuesOf(qint32 min, qint32 max, bool withMin = false);

// Whether some pair of first and second operands is acceptable, decided from the rules
// themselves and not from the generator's candidates, so that the table of extreme settings
// can check those: exactly, and in at most a few milliseconds for any 32-bit ranges.
bool AcceptablePairExists(Operation op, bool difficult, OperandValues first, OperandValues second);
