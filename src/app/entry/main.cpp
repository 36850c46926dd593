// zanit-wb: the dictionary program. Creates the data module and the main window, runs the start-up and the
// message loop until the main window closes.
#include <QStringList>

#include "base/Katalog.h"
#include "app/widgets/Anwendung.h"
#include "app/widgets/Darstellungsanschluss.h"
#include "app/widgets/OnlineAnschluss.h"
#include "app/widgets/OptionenAnschluss.h"
#include "app/widgets/Sprachanschluss.h"
#include "app/widgets/TrainerAnschluss.h"
#include "app/widgets/WBuchDialog.h"
#include "data/Datendialog.h"
#include "desktop/widgets/TSkinForm.h"
#include "desktop/widgets/Desktopanbindung.h"

int main(int argc, char** argv) {
    zanit::TWBApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(true);
    // The subsystems join the main window before it is created.
    zanit::Erweiterungen().skin = std::make_shared<zanit::TSkinErweiterung>();
    const auto trainer = std::make_shared<zanit::TTrainerAnschluss>();
    zanit::Erweiterungen().trainer = trainer;
    zanit::DesktopEinsetzen();
    zanit::DarstellungEinsetzen();
    zanit::OptionenEinsetzen();
    zanit::OnlineEinsetzen();
    try {
        zanit::TDatendialog daten;
        const zanit::TSprachinstallation sprache(daten);
        zanit::TWBuchDialog window(daten, QCoreApplication::arguments());
        sprache->SetzeFenster(&window);
        trainer->Tonnummern = [&sprache](zanit::TWBuchDialog& w, const std::string& text, int wortart) {
            return sprache->Tonnummern(w, text, wortart);
        };
        // A second start ends quietly; a failed start ends with its message shown and status 1.
        if (!window.FormCreate()) return window.ZweiteInstanz() ? 0 : 1;
        return app.exec();
    } catch (const std::exception& e) {
        zanit::TWBApplication::FehlerMelden(QStringLiteral("Start"), QString::fromUtf8(e.what()));
        return 2;
    }
}
