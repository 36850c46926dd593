#include "online/widgets/Verbindungstest.h"

#include <QNetworkInformation>

namespace zanit {

bool Verbindungstest() {
    // On Linux the backend is NetworkManager; without it nothing loads and the answer is "connected".
    if (!QNetworkInformation::instance() &&
        !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return true;
    const QNetworkInformation* info = QNetworkInformation::instance();
    return !info || info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

}  // namespace zanit
