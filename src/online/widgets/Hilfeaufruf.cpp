#include "online/widgets/Hilfeaufruf.h"

#include <QUrl>

#include "base/Katalog.h"
#include "online/Hilfe.h"
#include "online/widgets/TVerweisLabel.h"

namespace zanit {

bool HilfeOeffnen(int thema, QString* fehler) {
    const std::filesystem::path seite =
        Hilfeseite(std::filesystem::path(Katalog().Programmordner()), Katalog().GewaehlterBuchstabe(), thema);
    if (seite.empty()) {
        if (fehler) *fehler = QStringLiteral("Keine Hilfeseiten unter %1help/").arg(QString::fromStdString(Katalog().Programmordner()));
        return false;
    }
    const QString adresse = QUrl::fromLocalFile(QString::fromStdString(seite.string())).toString();
    if (AdresseOeffnen(adresse)) return true;
    if (fehler) *fehler = QStringLiteral("Die Hilfeseite %1 ließ sich nicht öffnen").arg(adresse);
    return false;
}

}  // namespace zanit
