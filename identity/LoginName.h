#pragma once

#include <QString>

// The name of the user logged in to the operating system, asked afresh on every call;
// empty when the system cannot tell.
QString GetLoginName();
