#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// What counts as a desktop calculator, decided from names alone: the window-system probes list
// windows or processes and ask these functions, which tests can feed with made-up lists.

// The two names of a top-level X11 window's WM_CLASS property.
struct WindowClass
{
    QString instance;
    QString className;
};

// True when the whole name, ignoring case, is one of the desktop calculators we know: a
// program name, a WM_CLASS name or an application id. Parts of names never match.
bool IsCalculatorName(QStringView name);

// Splits a raw WM_CLASS value ("instance" NUL "class" NUL); missing parts come back empty.
WindowClass ParseWmClass(QByteArrayView value);

// True when either name of any of the windows is a calculator's.
bool AnyCalculatorWindow(const QList<WindowClass> &windows);

// Decides one process from the raw contents of its /proc comm and cmdline files. A process
// started only to serve searches shows no window and does not count.
bool IsCalculatorProcess(QByteArrayView comm, QByteArrayView cmdline);

// True when procRoot (normally "/proc") holds a living calculator process whose real user id
// is userId. Entries that are odd, unreadable or vanish while we look are skipped.
bool CalculatorProcessRunning(const QString &procRoot, uint userId);
