#pragma once

#include <QLoggingCategory>

// Why a read found no settings or a save was skipped or failed, one line each, for an
// administrator asking why a pupil's choices are not remembered. Logged at the info level, which
// this category leaves off unless QT_LOGGING_RULES turns it on ("vorpa.settings.info=true").
Q_DECLARE_LOGGING_CATEGORY(lcStore)
