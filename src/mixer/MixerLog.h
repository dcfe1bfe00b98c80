#pragma once

#include <QLoggingCategory>
#include <QString>

// The mixer's diagnostics: a failed binding only leaves its control disabled, so nothing
// here reaches the user. QT_LOGGING_RULES="kinetrope.mixer.info=true" shows them.
Q_DECLARE_LOGGING_CATEGORY(lcMixer)

namespace MixerLog {
void report(const char *caption, const QString &text);
} // namespace MixerLog
