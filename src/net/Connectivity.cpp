#include "Connectivity.h"

#include <QHostAddress>
#include <QNetworkInformation>

bool Connectivity::isLoopback(const QString &host)
{
    const QString name = host.section(QLatin1Char(':'), 0, 0).toLower();
    if (name == QLatin1String("localhost"))
        return true;
    const QHostAddress address(name);
    return !address.isNull() && address.isLoopback();
}

bool Connectivity::networkUp() const
{
    // The default backend cannot start without NetworkManager; glib's works everywhere and
    // says Disconnected when only the loopback interface is up.
    if (!QNetworkInformation::instance() && !QNetworkInformation::loadBackendByName(QStringLiteral("glib")))
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    const QNetworkInformation *info = QNetworkInformation::instance();
    // Nothing to ask: try, and let the request itself fail.
    if (!info)
        return true;
    return info->reachability() != QNetworkInformation::Reachability::Disconnected;
}
