#pragma once
// The main window: search field, direction tabs or language tabs, the hit list, menus; its life from start
// to close. Two layouts: classic (one dictionary at a time, two search tabs, dictionaries switched through a
// dialog) and multi-language (one mother tongue with up to five foreign-language tabs).
#include <QLabel>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Einstellungen.h"
#include "data/Datendialog.h"
#include "desktop/Fensterlayout.h"
#include "search/Suche.h"
#include "search/Trefferliste.h"

class QAction;
class QFrame;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace zanit {

class TErgebnisListe;
class TEinzelInstanz;
class TMeldungDialog;
class TWBAuswahlDialog;
class TWoerterbuecher;

// A label that reports clicks (Trefferlabel).
class TKlickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void geklickt();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

class TWBuchDialog : public QWidget, public Wartecursor {
    Q_OBJECT
public:
    TWBuchDialog(TDatendialog& daten, const QStringList& arguments, QWidget* parent = nullptr);
    ~TWBuchDialog() override;

    // Runs the start-up steps; false when the process is to end (second instance, broken installation, no
    // dictionary, dictionary failed to open). Then the window is either shown or parked for the tray.
    bool FormCreate();

    // Search.
    void MachSuche();
    void SetzeKopfzeile(bool withWidths);
    void ZeigeMarkiertenEintrag();
    void ZeigeTrefferzahl(int hits, int lines);
    void WechsleSuchrichtung();
    void ZeigeSprachreiter();
    void WechsleWoerterbuch();
    void TexteSetzen();
    void SchriftAnwenden();
    // After the options: the dialog language (catalogue and, in multi-language mode, the language list)
    // and saving all settings (false when a write failed; that is logged).
    void DialogspracheWechseln(char buchstabe, bool umschalten);
    bool EinstellungenSichern();
    void FensterPositionMerken();
    void ZeigeFenster(int direction);
    // The filter changed: the list again for the search field's text; incremental (100 hits, abortable, the
    // field kept) or full (200 hits, busy cursor, the field may be rewritten). A shown hit count follows.
    void FilterSuche(bool inkrementell);
    void SetzeWartecursor(bool on) override;

    // Layout.
    void MachResize();
    void MachResizeNeu();
    void PlatziereSprachreiter();

    // State read by tests and by the subsystems that plug into the window.
    QLineEdit* AktivesSuchfeld() const;
    int Suchrichtung() const { return suchrichtung_; }
    TWoerterbuecher& Woerterbuecher() { return *woerterbuecher_; }
    TDatendialog& Daten() { return daten_; }
    Einstellungen& Werte() { return werte_; }
    TSuche& Suche() { return *suche_; }
    const Trefferliste& Treffer() const { return treffer_; }
    char Dialogbuchstabe() const { return dialogbuchstabe_; }
    int AktuellePosition() const { return aktuellePosition_; }
    bool ZweiteInstanz() const { return zweiteInstanz_; }

    // Controls, named as in the form.
    QMenuBar* menupanel = nullptr;
    QMenu *MenueDatei = nullptr, *MenueExtras = nullptr, *MenueService = nullptr, *MenueHilfe = nullptr;
    QAction *MenueWBOeffnen = nullptr, *DateiTrenner = nullptr, *MenueProgrammBeenden = nullptr;
    QAction *ExtrasOptionen = nullptr, *ServiceSerie = nullptr, *ServiceWBMeldungen = nullptr,
            *ServiceKontakt = nullptr, *ServiceInternet = nullptr, *HilfeInhalt = nullptr, *HilfeInfo = nullptr;
    QMenu* PopupMenue = nullptr;
    QAction *PopSprachausgabe = nullptr, *PopUmkehrsuche = nullptr, *PopUebernehmen = nullptr,
            *PopKopieren = nullptr;
    QMenu* TrayMenue = nullptr;
    QAction *TrayNachschlagen = nullptr, *TrayHotkey = nullptr, *TrayBeenden = nullptr;

    QFrame* Edge = nullptr;
    QTabWidget* SuchRegister = nullptr;
    QWidget *Eingabe1 = nullptr, *Eingabe2 = nullptr;
    QFrame* EingabePanel = nullptr;
    QLineEdit* SuchEdit = nullptr;
    QPushButton *EingabeButton = nullptr, *WPlaybutton = nullptr, *Detailbutton = nullptr,
                *FilterAnButton = nullptr, *FilterAusButton = nullptr, *UebernehmenButton = nullptr,
                *InfoButton = nullptr;
    QFrame* Rahmen = nullptr;
    TErgebnisListe* ErgebnisListe = nullptr;
    TKlickLabel* Trefferlabel = nullptr;
    TKlickLabel* FilterLabel = nullptr;

    // Multi-language layout.
    QFrame* HintergrundShape = nullptr;
    QLabel* VerlaufImage = nullptr;
    QLabel *MutterspracheImage = nullptr, *MutterspracheTitelLabel = nullptr, *MutterspracheLabel = nullptr;
    QLabel* FremdspracheTitelLabel = nullptr;
    std::array<QLabel*, 5> FremdspracheImage{};
    std::array<QLabel*, 5> FremdspracheAktivLabel{};
    std::array<QToolButton*, 5> FremdspracheTab{};
    QFrame* SuchEditNeuBorderShape = nullptr;
    QLineEdit* SuchEditNeu = nullptr;
    QLabel *SuchbegriffLabel = nullptr, *SuchenInLabel = nullptr, *SuchergebnisLabel = nullptr,
           *VertonungenTitelLabel = nullptr;
    QPushButton *Suchsprache1Button = nullptr, *Suchsprache2Button = nullptr;
    QLabel *Eintrag1Label = nullptr, *Eintrag2Label = nullptr;
    QPushButton *UmkehrsucheMMButton = nullptr, *FilterMMButton = nullptr, *UebernahmeMMButton = nullptr,
                *Sound1MMButton = nullptr, *Sound2MMButton = nullptr, *UmkehrMMButton = nullptr,
                *EingabeMMButton = nullptr, *InfoMMButton = nullptr;

    QTimer* TastenTimer = nullptr;
    QTimer* StartTimer = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ErzeugeSteuerelemente();
    void SpaltenSetzen(Spalten s);
    SprachreiterLayout Reiterlayout() const;
    void ErzeugeMenues();
    void WaehleLayout();
    void FormShow();
    void LeseEinstellungen();
    void PlatziereFenster();
    bool OeffneErstesWoerterbuch();
    bool Oeffne(int n, bool wechsel = false);  // wechsel: the switch the user asked for (see OeffneAlsWechsel)
    bool OeffneBeimStart(int n);
    void NachWoerterbuchOeffnen();
    void FormKeyDown(QKeyEvent* e);
    bool SuchEditKeyDown(QKeyEvent* e);
    void SuchEditKeyPress();
    void TastenTimerTimer();
    void StartTimerTimer();
    void SuchRegisterChange(int page);
    void SuchrichtungsButtonClick(int tag);
    void FremdspracheTabClick(int tag);
    void RichtungsknoepfeAnzeigen();
    void TrefferlabelClick();
    void ErgebnisListeEnter();
    void FuelleListe(const std::string& text, bool correct, bool incremental);
    // While an incremental walk runs (it lets events through), anything else that walks or switches the table
    // ends the walk and runs after it: true when `action` was put off that way.
    bool NachDemLauf(std::function<void()> action);
    void ListeAnzeigen();
    void AktualisiereErweiterungen();
    void Wiederherstellen();
    void AppIdle();

    TDatendialog& daten_;
    QStringList argumente_;
    std::unique_ptr<TWoerterbuecher> woerterbuecher_;
    Einstellungen werte_;
    Einstellungen gelesen_;  // as read at start: saving writes only what differs
    std::unique_ptr<TSuche> suche_;
    Trefferliste treffer_;
    Suchergebnis letztesErgebnis_;
    std::unique_ptr<TEinzelInstanz> einzelInstanz_;
    TMeldungDialog* meldung_ = nullptr;
    TWBAuswahlDialog* auswahl_ = nullptr;
    int katalogBeobachter_ = 0;

    int suchrichtung_ = 1;
    std::string letzterInkrementellerSchluessel_;
    bool inkrementellerLauf_ = false;
    std::vector<std::function<void()>> nachDemLauf_;
    char dialogbuchstabe_ = 'D';
    int aktuellePosition_ = 1;
    int wortartBreite_ = 80;
    int abschnittIndex_ = -1;
    int wartecursorTiefe_ = 0;
    bool geschlossen_ = false;
    bool zweiteInstanz_ = false;
    QString keineSuche_, keineAuswahl_;
};

}  // namespace zanit
