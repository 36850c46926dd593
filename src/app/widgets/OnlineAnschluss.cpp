#include "app/widgets/OnlineAnschluss.h"

#include "app/widgets/Anwendung.h"
#include "app/widgets/WBuchDialog.h"
#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "online/Hilfe.h"
#include "online/widgets/Hilfeaufruf.h"
#include "online/widgets/Infobildfenster.h"
#include "online/widgets/TVerweisLabel.h"
#include "online/widgets/Verbindungstest.h"
#include "online/widgets/WBInfo.h"
#include "online/widgets/WBMeldungen.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/TOwnFenster.h"

namespace zanit {
namespace {

void HilfeZeigen(int thema) {
    QString fehler;
    if (!HilfeOeffnen(thema, &fehler)) TWBApplication::Protokollieren(QStringLiteral("Hilfe"), fehler);
}

}  // namespace

std::filesystem::path TOnlineAnschluss::Ordner() const {
    return Programmordner ? *Programmordner : std::filesystem::path(Katalog().Programmordner());
}

TInfoabruf& TOnlineAnschluss::AbrufFuer(TWBuchDialog& fenster) {
    if (!abruf_) {
        abruf_ = new TInfoabruf(&fenster);
        QObject::connect(abruf_, &TInfoabruf::Beendet, abruf_, [](bool ok, const QString& fehler) {
            if (!ok) TWBApplication::Protokollieren(QStringLiteral("Infobild"), fehler);
        });
    }
    return *abruf_;
}

void TOnlineAnschluss::StartPruefung(TWBuchDialog& fenster) {
    if (internet_) internet_->Einschalten();  // a new showing: the web site link works again
    TInfoabruf::Umgebung u;
    u.programmordner = Ordner();
    u.infoNummer = Startzustand().infoNummer;
    u.ftpDelay = fenster.Werte().FTPDelay;
    u.konfiguration = AbrufKonfigurationLesen();
    u.verbindungstest = Verbindungstest ? Verbindungstest : std::function<bool()>(&zanit::Verbindungstest);
    AbrufFuer(fenster).StartPruefung(u);
}

void TOnlineAnschluss::BildZeigen(TWBuchDialog& fenster) {
    ZeigeInfobild(Ordner() / "Data", &fenster);
}

void TOnlineAnschluss::HilfeInhalt() { HilfeZeigen(kHilfeInhalt); }

void TOnlineAnschluss::Kontakt(TWBuchDialog&) { HilfeZeigen(kHilfeKontakt); }

void TOnlineAnschluss::Info(TWBuchDialog& fenster) {
    TInfoDialog dialog(&fenster);
    dialog.exec();
}

void TOnlineAnschluss::WBMeldungen(TWBuchDialog& fenster) {
    TWBMeldungenDialog dialog(&fenster);
    dialog.exec();
}

void TOnlineAnschluss::Internet(TWBuchDialog& fenster) {
    if (!internet_) {
        internet_ = new TVerweisLabel(&fenster);
        internet_->setObjectName(QStringLiteral("InternetLabel"));
        internet_->hide();
    }
    internet_->SetzeZiel(KText(8263, "https://www.example.com/zanit/"));
    internet_->Oeffnen();
}

void OnlineEinsetzen() {
    Erweiterungen().online = std::make_shared<TOnlineAnschluss>();
    TOwnFenster::SetzeHilfeaufruf([](int thema) { HilfeZeigen(thema); });
}

}  // namespace zanit
