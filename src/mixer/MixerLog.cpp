#include "MixerLog.h"

Q_LOGGING_CATEGORY(lcMixer, "kinetrope.mixer", QtWarningMsg)

namespace MixerLog {

void report(const char *caption, const QString &text)
{
    qCInfo(lcMixer, "%s: %s", caption, qPrintable(text));
}

} // namespace MixerLog
