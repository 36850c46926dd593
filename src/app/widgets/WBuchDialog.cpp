// The main window's life: creation, the start-up steps, opening dictionaries, showing, hiding and closing,
// saving the settings, and the change of dictionary or language. Its controls and texts, the search and the
// layout are in WBuchAufbau.cpp, WBuchSuche.cpp and WBuchLayout.cpp; the subsystems plug in through
// Erweiterungen.h and their *Anschluss files.

#include "app/widgets/WBuchDialog.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <utility>

#include "base/Einstellungen.h"
#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "base/Utils.h"
#include "app/widgets/Anwendung.h"
#include "app/widgets/EinzelInstanz.h"
#include "app/widgets/Erweiterungen.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/MeldungDialog.h"
#include "ui/widgets/Unicode.h"
#include "data/Woerterbuecher.h"
#include "data/widgets/WBAuswahlDialog.h"
#include "search/Suchbegriff.h"
#include "search/Suche.h"
#include "search/widgets/ErgebnisListe.h"

namespace zanit {
namespace {

constexpr int kStandardBreite = 600;
constexpr int kStandardHoehe = 435;

const char* const kProdukt = "zanit";

std::string Grossbuchstaben(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The folder of a path spelled with "\" or "/", upper case, with a trailing separator: stored and real
// program folders compare in this form.
std::string Vergleichsordner(std::string s) {
    for (char& c : s)
        if (c == '\\') c = '/';
    s = Grossbuchstaben(s);
    if (!s.empty() && s.back() != '/') s += '/';
    return s;
}

QString Hive() {
    const QString env = qEnvironmentVariable("ZANIT_REGISTRY");
    return env.isEmpty() ? QStringLiteral("/etc/zanit/machine.reg") : env;
}

}  // namespace

void TKlickLabel::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    emit geklickt();
}

// ---------------------------------------------------------------------------------------------------------
// Creation

TWBuchDialog::TWBuchDialog(TDatendialog& daten, const QStringList& arguments, QWidget* parent)
    : QWidget(parent),
      daten_(daten),
      argumente_(arguments),
      woerterbuecher_(std::make_unique<TWoerterbuecher>(daten)),
      suche_(std::make_unique<TSuche>(daten, *woerterbuecher_)) {
    setObjectName(QStringLiteral("WBuchDialog"));
    setMinimumSize(240, 60);
    ErzeugeSteuerelemente();
    ErzeugeMenues();

    TastenTimer = new QTimer(this);
    TastenTimer->setObjectName(QStringLiteral("TastenTimer"));
    TastenTimer->setSingleShot(true);
    connect(TastenTimer, &QTimer::timeout, this, &TWBuchDialog::TastenTimerTimer);
    StartTimer = new QTimer(this);
    StartTimer->setObjectName(QStringLiteral("StartTimer"));
    StartTimer->setSingleShot(true);
    StartTimer->setInterval(10);
    connect(StartTimer, &QTimer::timeout, this, &TWBuchDialog::StartTimerTimer);

    // The walk lets typing through: a key press sets the abort flag and the walk ends.
    suche_->NachrichtenVerarbeiten = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
    daten_.SetzeWartecursorAnzeige(this);
}

TWBuchDialog::~TWBuchDialog() {
    daten_.SetzeWartecursorAnzeige(nullptr);
    if (katalogBeobachter_) Katalog().EntferneBeobachter(katalogBeobachter_);
    qApp->removeEventFilter(this);
    if (Meldungsdialog() == meldung_) SetzeMeldungsdialog(nullptr);
}

// ---------------------------------------------------------------------------------------------------------
// Start

bool TWBuchDialog::FormCreate() {
    TStartzustand& st = Startzustand();
    // 1. Command line: parameters 1..10, lower case, joined.
    st.beenden = false;
    QString joined;
    for (int i = 1; i <= 10 && i < argumente_.size(); ++i) joined += argumente_.at(i).toLower();
    st.service = joined.contains(QStringLiteral("service"));
    st.mehrsprachig = joined.contains(QStringLiteral("newservice"));
    st.infoNummer = joined.contains(QStringLiteral("noinfo")) ? 999 : 0;

    // 3. Titles.
    QApplication::setApplicationName(QStringLiteral("zanit WB"));

    // 4. Single instance.
    einzelInstanz_ = std::make_unique<TEinzelInstanz>(Hive());
    if (einzelInstanz_->AndereInstanzGefunden()) {
        st.beenden = true;
        zweiteInstanz_ = true;
        move(-width() - 1, -height() - 1);
        return false;
    }
    connect(einzelInstanz_.get(), &TEinzelInstanz::Wiederherstellen, this, &TWBuchDialog::Wiederherstellen);

    // 5. Start state.
    st.trayBeenden = false;
    Erweiterungen().sprache->LaufwerkeAktualisieren();
    st.einmalGezeigt = false;
    st.fensterSichtbar = false;
    qApp->installEventFilter(this);  // the form previews keys
    qApp->installEventFilter(new TAppMessage(this));
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TWBuchDialog::AppIdle);
    AppIdle();
    st.tonGeraet = Erweiterungen().sprache->Vorhanden();
    st.farbtiefe = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->depth() : 24;
    setProperty("Tag", kHauptfensterTag);
    woerterbuecher_->Index = -1;
    abschnittIndex_ = -1;

    // 6. Layout.
    WaehleLayout();

    // 7. The message dialog.
    meldung_ = new TMeldungDialog(this);
    SetzeMeldungsdialog(meldung_);

    // 8. Settings, dialog language.
    katalogBeobachter_ = Katalog().BeiKatalogwechsel([this] { TexteSetzen(); });
    LeseEinstellungen();

    // 9., 10. Trainer, legacy keys.
    Erweiterungen().trainer->TrainerErkennen();
    AlteSchluesselEntfernen();

    // 11. Bitmap lists and skin.
    if (st.mehrsprachig) Erweiterungen().skin->BitmaplistenLaden(*this);
    Erweiterungen().skin->LadeSkin(*this, 1);

    // 12. Placement.
    PlatziereFenster();

    // 13. Installation check.
    const std::string exeFolder = Vergleichsordner(OrdnerDerAnwendung());
    if (Vergleichsordner(werte_.Program) != exeFolder || werte_.CD.empty()) {
        Systemmeldung(QStringLiteral("Der Registry-Eintrag des Programms ist nicht vollständig. Installieren Sie ") +
                          QString::fromLatin1(kProdukt) + QStringLiteral(" erneut!") + QStringLiteral("\r\r") +
                          QStringLiteral("Registry entries have been damaged or removed. Please reinstall the program."),
                      QStringLiteral("zanit WB"));
        st.beenden = true;
        return false;
    }

    // 14. Dictionary list and the first dictionary.
    if (!OeffneErstesWoerterbuch()) {
        st.beenden = true;
        return false;
    }

    // 15. Show or park for the tray.
    SetzeKopfzeile(true);
    SchriftAnwenden();
    bool autostart = false;
    for (int i = 1; i < argumente_.size(); ++i)
        if (argumente_.at(i).toUpper().contains(QStringLiteral("AUTOSTART"))) autostart = true;
    if (werte_.Tray || autostart) {
        st.gemerktLinks = x();
        st.gemerktOben = y();
        move(-width() - 1, -height() - 1);
        StartTimer->start();
    } else {
        ZeigeFenster(0);
    }
    return true;
}

QLineEdit* TWBuchDialog::AktivesSuchfeld() const {
    return Startzustand().mehrsprachig ? SuchEditNeu : SuchEdit;
}

void TWBuchDialog::LeseEinstellungen() {
    werte_ = EinstellungenLesen();
    gelesen_ = werte_;
    const Einstellungen& e = werte_;
    suchrichtung_ = std::clamp(e.Part, 1, 2);
    {
        const QSignalBlocker block(SuchRegister);
        SuchRegister->setCurrentIndex(suchrichtung_ - 1);
    }
    suche_->Richtung = suchrichtung_;
    suche_->LatGen = e.LatGen;
    Erweiterungen().desktop->ZeigeFenster = [this](int direction) { ZeigeFenster(direction); };
    Erweiterungen().desktop->Einrichten(*this);
    Startzustand().programmordner = Grossbuchstaben(MitBackslash(e.Program));
    Startzustand().cdPfad = Grossbuchstaben(MitBackslash(e.CD));
    Katalog().SetzeProgrammordner(e.Program);
    dialogbuchstabe_ = e.GLC;
    KatalogOeffnen(dialogbuchstabe_);
    TexteSetzen();  // also when the catalogue stayed German
}

void TWBuchDialog::PlatziereFenster() {
    const Einstellungen& e = werte_;
    const Fensterrechteck screen = BildschirmRechteck();
    if (e.PV == 1) {
        resize(kStandardBreite, kStandardHoehe);
        setWindowState(windowState() | Qt::WindowMaximized);
    } else if (PlatzierungPasst(e, screen.width, screen.height)) {
        move(e.PX, e.PY);
        resize(e.PW, e.PH);
    } else {
        resize(kStandardBreite, kStandardHoehe);
        move((screen.width - kStandardBreite) / 2, (screen.height - kStandardHoehe) / 2);
    }
}

bool TWBuchDialog::OeffneErstesWoerterbuch() {
    TWoerterbuecher& wb = *woerterbuecher_;
    wb.Mehrsprachig = Startzustand().mehrsprachig;
    wb.CDPfad = werte_.CD;
    const std::string& abschnitt = werte_.Section;
    if (!Startzustand().mehrsprachig) {
        const int found = wb.LeseWoerterbuchliste(abschnitt);
        if (wb.Liste.empty()) {
            Meldungsfenster(KText(98050, "Es ist kein Wörterbuch installiert!"), KText(5007, "Problem"), 1, true,
                            false);
            return false;
        }
        abschnittIndex_ = found;
        const int n = (found >= 0 && found < static_cast<int>(wb.Liste.size())) ? found : 0;
        return OeffneBeimStart(n);
    }
    wb.BeiSprachwechsel = [this] {
        Erweiterungen().filter->FilterZuruecksetzen();
        Erweiterungen().filter->FilterStatusAnwenden(*this);
    };
    const int position = wb.LeseSprachenliste(abschnitt, dialogbuchstabe_);
    if (wb.Liste.empty()) {
        Meldungsfenster(KText(98050, "Es ist kein Wörterbuch installiert!"), KText(5007, "Problem"), 1, true,
                        false);
        return false;
    }
    const int count = static_cast<int>(wb.Liste.size());
    aktuellePosition_ = (position >= 1 && position <= count) ? position : 1;
    ZeigeSprachreiter();
    return OeffneBeimStart(aktuellePosition_ - 1);
}

// The first dictionary of a start: when its table fails to open the start ends, but the user learns why and
// the log keeps the file and the cause.
bool TWBuchDialog::OeffneBeimStart(int n) {
    if (Oeffne(n)) return true;
    const QString fehler = QString::fromUtf8(woerterbuecher_->Fehler);
    if (fehler.isEmpty()) return false;
    TWBApplication::Protokollieren(QStringLiteral("Wörterbuch"), fehler);
    Meldungsfenster(ZuUnicode(KatalogTextMitArgumenten(30121, "Das Wörterbuch konnte nicht gelesen werden: &#",
                                                       ZuCp1252(fehler))),
                    KText(5007, "Problem"), 3, true, false);
    return false;
}

bool TWBuchDialog::Oeffne(int n, bool wechsel) {
    TWoerterbuecher& wb = *woerterbuecher_;
    const bool ok = Startzustand().mehrsprachig ? wb.OeffneSprache(n)
                    : wechsel                   ? wb.OeffneAlsWechsel(n)
                                                : wb.OeffneWoerterbuch(n);
    Erweiterungen().trainer->WoerterbuchGeoeffnet();
    NachWoerterbuchOeffnen();
    return ok;
}

// What the window shows of a newly opened dictionary: the speech button and the two search tabs.
void TWBuchDialog::NachWoerterbuchOeffnen() {
    const TWoerterbuecher& wb = *woerterbuecher_;
    AktualisiereErweiterungen();
    if (Startzustand().mehrsprachig) return;
    SuchRegister->setTabText(0, ZuUnicode("&" + wb.TextM));
    SuchRegister->setTabText(1, ZuUnicode(ZweiterReitertext(wb.TextM, wb.TextF)));
}

// ---------------------------------------------------------------------------------------------------------
// Showing, hiding, closing

void TWBuchDialog::ZeigeFenster(int direction) {
    Startzustand().fensterSichtbar = true;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    QLineEdit* e = AktivesSuchfeld();
    if (direction == 0) {
        e->clear();
        if (e->isVisible()) e->setFocus(Qt::OtherFocusReason);
        return;
    }
    // A lookup of the text another program put on the clipboard, in the given direction.
    const QString text = Erweiterungen().desktop->Zwischenablagentext();
    if (text.isEmpty()) return;
    if (!Startzustand().mehrsprachig) {
        suchrichtung_ = direction == 2 ? 2 : 1;
        const QSignalBlocker block(SuchRegister);
        SuchRegister->setCurrentIndex(suchrichtung_ - 1);
    } else if (suchrichtung_ != direction) {
        WechsleSuchrichtung();
    }
    e->setText(text);
    MachSuche();
}

void TWBuchDialog::Wiederherstellen() {
    // A later start asked for this window: restore it and bring it to the front.
    if (!isVisible()) {
        ZeigeFenster(0);
    } else {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        raise();
        activateWindow();
    }
    if (!qEnvironmentVariableIsEmpty("ZANIT_MELDUNGSPROTOKOLL"))
        MeldungProtokollieren(QStringLiteral("Wiederhergestellt"), windowTitle());
}

void TWBuchDialog::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TWBuchDialog::FormShow() {
    TStartzustand& st = Startzustand();
    if (st.mehrsprachig) {
        FaerbeDialog(this);
        PlatziereSprachreiter();
        ZeigeSprachreiter();
        RichtungsknoepfeAnzeigen();
    }
    if (st.infoNummer != 999) {
        st.infoNummer = werte_.InfoID;
        Erweiterungen().online->StartPruefung(*this);
    }
    if (st.beenden) return;
    Erweiterungen().desktop->HotkeyStatusAnwenden(*this);
    TrayHotkey->setText(Erweiterungen().desktop->HotkeysAktiv() ? KText(98012, "&Hotkeys deaktivieren")
                                                                : KText(98011, "&Hotkeys aktivieren"));
    ErgebnisListe->clear();
    treffer_.Leeren();
    treffer_.Trefferzahl = 0;
    treffer_.Zeilenzahl = 0;
    Eintrag1Label->setText(keineAuswahl_);
    Eintrag2Label->setText(keineAuswahl_);
    Trefferlabel->setText(keineSuche_);
    Erweiterungen().filter->FilterZuruecksetzen();
    if (st.mehrsprachig) MachResizeNeu();
    else MachResize();
    st.einmalGezeigt = true;
    Erweiterungen().filter->FilterStatusAnwenden(*this);
    if (QLineEdit* edit = AktivesSuchfeld(); edit && edit->isVisible()) edit->setFocus(Qt::OtherFocusReason);
}

void TWBuchDialog::StartTimerTimer() {
    StartTimer->stop();
    TStartzustand& st = Startzustand();
    if (Erweiterungen().desktop->TrayVerfuegbar()) {
        Erweiterungen().desktop->InsTray(*this);
        st.fensterSichtbar = false;
        hide();
    } else {
        // Without a tray the window goes to the task bar, never out of reach.
        show();
        showMinimized();
        st.fensterSichtbar = true;
    }
    move(st.gemerktLinks, st.gemerktOben);
}

void TWBuchDialog::FensterPositionMerken() {
    if (!isVisible()) return;
    Einstellungen& e = werte_;
    const bool maximised = windowState() & Qt::WindowMaximized;
    e.PX = x();
    e.PY = y();
    e.PW = width();
    e.PH = height();
    e.PV = maximised ? 1 : 0;
}

void TWBuchDialog::changeEvent(QEvent* e) {
    // Minimising stores the placement, as of the moment before.
    if (e->type() == QEvent::WindowStateChange) {
        auto* sc = static_cast<QWindowStateChangeEvent*>(e);
        if ((windowState() & Qt::WindowMinimized) && !(sc->oldState() & Qt::WindowMinimized) &&
            Startzustand().fensterSichtbar)
            FensterPositionMerken();
    }
    QWidget::changeEvent(e);
}

void TWBuchDialog::closeEvent(QCloseEvent* e) {
    if (geschlossen_) {
        e->accept();
        return;
    }
    TStartzustand& st = Startzustand();
    FensterPositionMerken();
    if (werte_.Save && !st.trayBeenden) {
        bool cancelled = false, endCheck = false;
        if (Erweiterungen().optionen->SaveHinweis(*this, cancelled, endCheck)) {
            werte_.Save = !endCheck;
            if (cancelled) {
                e->ignore();
                return;
            }
        }
    }
    st.fensterSichtbar = false;
    EinstellungenSichern();

    Erweiterungen().desktop->Freigeben();
    if (Meldungsdialog() == meldung_) SetzeMeldungsdialog(nullptr);
    delete meldung_;
    meldung_ = nullptr;
    daten_.BuchDatei.Close();
    Erweiterungen().sprache->TabellenSchliessen();
    if (st.infoNummer != 999) Erweiterungen().online->BildZeigen(*this);
    geschlossen_ = true;
    e->accept();
}

bool TWBuchDialog::EinstellungenSichern() {
    werte_.Part = suchrichtung_;
    werte_.GLC = dialogbuchstabe_;
    Erweiterungen().desktop->NachSchliessen(werte_);
    const std::string abschnitt = woerterbuecher_->Abschnitt();
    const bool ok = EinstellungenSpeichern(werte_, abschnitt.empty() ? std::nullopt : std::optional<std::string_view>(abschnitt),
                                           ZuCp1252(QCoreApplication::applicationFilePath()), &gelesen_);
    if (!ok)
        TWBApplication::Protokollieren(QStringLiteral("Einstellungen"),
                                       QStringLiteral("Die Einstellungen konnten nicht gespeichert werden."));
    if (ok) gelesen_ = werte_;  // what is stored now
    return ok;
}

void TWBuchDialog::AppIdle() {
    if (isVisible()) Startzustand().fensterCache = Rechteck(this);
}

void TWBuchDialog::SetzeWartecursor(bool on) {
    if (on) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        ++wartecursorTiefe_;
    } else if (wartecursorTiefe_ > 0) {
        QGuiApplication::restoreOverrideCursor();
        --wartecursorTiefe_;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Changing the dictionary or the language

void TWBuchDialog::FremdspracheTabClick(int tag) {
    if (NachDemLauf([this, tag] { FremdspracheTabClick(tag); })) return;
    const int count = static_cast<int>(woerterbuecher_->Liste.size());
    int p = tag;
    if (p <= 0 || p > count) p = 2;
    const int vorher = aktuellePosition_;
    aktuellePosition_ = p;
    ZeigeSprachreiter();
    if (!Oeffne(p - 1)) {
        // The language open before stays in force, and so does its tab.
        aktuellePosition_ = vorher;
        ZeigeSprachreiter();
        Meldungsfenster(ZuUnicode(woerterbuecher_->Fehlermeldung()), KText(5007, "Problem"), 3, true, false);
    }
    RichtungsknoepfeAnzeigen();
    MachSuche();
}

void TWBuchDialog::WechsleWoerterbuch() {
    if (NachDemLauf([this] { WechsleWoerterbuch(); })) return;
    TWoerterbuecher& wb = *woerterbuecher_;
    QLineEdit* edit = AktivesSuchfeld();
    // The search text survives a dictionary that fails to open: the retry and a cancel after it keep it.
    bool remembering = false;
    QString remembered;
    for (;;) {
        QStringList entries;
        for (const std::string& e : wb.Liste)
            entries << ZuUnicode(std::string(Listenfeld(e, 1)) + "/" + std::string(Listenfeld(e, 2)));
        if (!auswahl_) auswahl_ = new TWBAuswahlDialog(this);
        auswahl_->Fuellen(entries, wb.Index);
        if (auswahl_->exec() != QDialog::Accepted) {
            // Back to the dictionary that stayed open, with the search it showed.
            if (remembering && !remembered.isEmpty()) {
                edit->setText(remembered);
                MachSuche();
            }
            return;
        }
        SetzeWartecursor(true);
        ErgebnisListe->clear();
        treffer_.Leeren();
        if (!remembering) remembered = edit->text().trimmed();
        remembering = true;
        edit->clear();
        Trefferlabel->setText(keineSuche_);
        if (Oeffne(auswahl_->Markiert(), true)) {
            SetzeKopfzeile(true);
            SetzeWartecursor(false);
            if (!remembered.isEmpty()) {
                edit->setText(remembered);
                MachSuche();
            }
            return;
        }
        // The dictionary open before stays in force; the message says why the chosen one did not open.
        SetzeKopfzeile(true);
        SetzeWartecursor(false);
        Meldungsfenster(ZuUnicode(wb.Fehlermeldung()), KText(5007, "Problem"), 3, true, false);
    }
}

}  // namespace zanit
