#include "StoreLog.h"

// Warnings and worse only by default: the store's own lines, all of them info, stay unwritten.
Q_LOGGING_CATEGORY(lcStore, "vorpa.settings", QtWarningMsg)
