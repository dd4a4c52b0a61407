#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// The seven kinds of example. The stored code (ExampleType) is the value plus one.
enum class Operation : quint8
{
    Addition = 0,
    Subtraction = 1,
    Multiplication = 2,
    Division = 3,
    Remainder = 4,
    Power = 5,
    Logarithm = 6,
};

inline constexpr int kOperationCount = 7;

inline constexpr std::array<Operation, kOperationCount> kAllOperations = {
    Operation::Addition,  Operation::Subtraction, Operation::Multiplication, Operation::Division,
    Operation::Remainder, Operation::Power,       Operation::Logarithm,
};

// One character per operation, in operation order; multiplication is U+00B7 MIDDLE DOT.
QString OperationSymbols();
QChar OperationSymbol(Operation op);

// A question reads QuestionLead + a + QuestionJoin + b + QuestionTail; the blanks are part of
// the texts.
QString QuestionLead(Operation op);
QString QuestionJoin(Operation op);
QString QuestionTail(Operation op);

int ExampleTypeCode(Operation op);
// Codes 1..7 name an operation; anything else names none.
std::optional<Operation> OperationFromExampleType(qint32 code);
