#include "desktop/widgets/Desktopanbindung.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <ctime>

#include "app/widgets/WBuchDialog.h"
#include "base/Einstellungen.h"
#include "base/Katalog.h"
#include "base/Log.h"
#include "base/Startzustand.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/MeldungDialog.h"

namespace zanit {
namespace {

void* X11Anzeige() {
#if QT_CONFIG(xcb)
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) return x11->display();
#endif
    return nullptr;
}

// The program icon: the application's, else a drawn one (the tray shows nothing without an icon).
QIcon Programmsymbol() {
    if (!QApplication::windowIcon().isNull()) return QApplication::windowIcon();
    QPixmap bild(32, 32);
    bild.fill(QColor(95, 110, 140));
    QPainter p(&bild);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(26);
    p.setFont(f);
    p.drawText(bild.rect(), Qt::AlignCenter, QStringLiteral("z"));
    return QIcon(bild);
}

// The form that has the application's focus: an open modal dialog, the active window, else the main window.
QWidget* AktivesFormular(QWidget* hauptfenster) {
    if (QWidget* m = QApplication::activeModalWidget()) return m;
    if (QWidget* a = QApplication::activeWindow()) return a;
    return hauptfenster;
}

QString Formularname(const QWidget* w) {
    const QString name = w->objectName();
    return name.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : name;
}

bool WaylandSitzung() {
    return qEnvironmentVariable("XDG_SESSION_TYPE").compare(QStringLiteral("wayland"), Qt::CaseInsensitive) == 0 ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

QString Nachschlagetext(const QString& zwischenablage) {
    const QString getrimmt = zwischenablage.trimmed();
    QString text;
    text.reserve(getrimmt.size());
    for (QChar c : getrimmt)
        if (c.unicode() >= 32) text += c;
    return text;
}

TDesktopanbindung::TDesktopanbindung(std::unique_ptr<THotkeySystem> system) : system_(std::move(system)) {}

TDesktopanbindung::~TDesktopanbindung() {
    // Without the application the display connection is gone; the system then has nothing left to release.
    if (!QCoreApplication::instance()) (void)system_.release();
}

void TDesktopanbindung::Einrichten(TWBuchDialog& fenster) {
    if (!eingerichtet_ || fenster_ != &fenster) {
        eingerichtet_ = true;
        buch_ = &fenster;
        fenster_ = &fenster;
        if (!system_) system_ = ErzeugeHotkeySystem(X11Anzeige());
        qApp->installNativeEventFilter(this);
        // Timer and icon live and die with the window, which goes before the application does.
        WarteTimer = new QTimer(&fenster);
        WarteTimer->setObjectName(QStringLiteral("WarteTimer"));
        WarteTimer->setSingleShot(true);
        WarteTimer->setInterval(100);
        WarteTimer->setProperty("Tag", 0);
        connect(WarteTimer, &QTimer::timeout, this, &TDesktopanbindung::WarteTimerTimer);
        TrayIcon = new QSystemTrayIcon(Programmsymbol(), &fenster);
        TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
        TrayIcon->setContextMenu(fenster.TrayMenue);
        TrayIcon->setToolTip(fenster.windowTitle());
        connect(TrayIcon, &QSystemTrayIcon::activated, this, &TDesktopanbindung::TrayIconMouseDown);
        connect(fenster.TrayHotkey, &QAction::triggered, this, &TDesktopanbindung::TrayHotkeyClick);
        fenster.installEventFilter(this);
        connect(&fenster, &QObject::destroyed, this, [this] { SystemFreigeben(); });
        if (WaylandSitzung())
            Protokollieren(QGuiApplication::platformName() == QStringLiteral("xcb")
                               ? "Wayland-Sitzung: die Hotkeys wirken nur, solange ein X11-Programm den Fokus hat"
                               : "Wayland-Sitzung ohne X11: keine Hotkeys");
    }
    const Einstellungen& e = fenster.Werte();
    if (logordner_.empty()) logordner_ = e.Program;
    HotKey.kuerzel = e.HotKey;
    HotKey1mit.kuerzel = e.HotKey1;
    HotKey2mit.kuerzel = e.HotKey2;
    HotkeysSetzen(e.HotKeyOn);
}

void TDesktopanbindung::HotkeysSetzen(bool aktiv) {
    for (THotKey* h : {&HotKey, &HotKey1mit, &HotKey2mit}) Setzen(*h, aktiv);
}

bool TDesktopanbindung::Setzen(THotKey& h, bool aktiv) {
    h.aktiv = aktiv;
    if (!system_) return true;
    system_->Freigeben(h.id);
    if (!aktiv || h.kuerzel == 0) return true;
    std::string fehler;
    if (system_->Registrieren(h.id, h.kuerzel, fehler)) return true;
    if (gemeldet_.insert({h.id, h.kuerzel}).second)
        Protokollieren("Hotkey " + KuerzelText(h.kuerzel) + " nicht verfügbar: " + fehler);
    return false;
}

void TDesktopanbindung::ZustaendeWiederherstellen(const std::array<bool, 3>& aktiv) {
    THotKey* hotkeys[3] = {&HotKey, &HotKey1mit, &HotKey2mit};
    for (int i = 0; i < 3; ++i)
        if (hotkeys[i]->aktiv != aktiv[i]) Setzen(*hotkeys[i], aktiv[i]);
}

bool TDesktopanbindung::KuerzelFrei(int kuerzel, std::string& fehler) {
    if (!system_ || kuerzel == 0) return true;
    // A combination one of our own active hotkeys holds is ours to give.
    for (const THotKey* h : {&HotKey, &HotKey1mit, &HotKey2mit})
        if (h->aktiv && h->kuerzel == kuerzel) return true;
    constexpr int kProbe = 99;
    const bool frei = system_->Registrieren(kProbe, kuerzel, fehler);
    system_->Freigeben(kProbe);
    return frei;
}

std::vector<int> TDesktopanbindung::KuerzelSetzen(bool aktiv, const std::array<int, 3>& kuerzel) {
    std::vector<int> abgelehnt;
    THotKey* hotkeys[3] = {&HotKey, &HotKey1mit, &HotKey2mit};
    // All released first, so that shortcuts swapped between the three do not stand in each other's way.
    if (system_)
        for (THotKey* h : hotkeys) system_->Freigeben(h->id);
    for (int i = 0; i < 3; ++i) {
        THotKey& h = *hotkeys[i];
        const int vorher = h.kuerzel;
        h.kuerzel = kuerzel[i];
        if (Setzen(h, aktiv) || vorher == kuerzel[i]) continue;
        abgelehnt.push_back(i);
        h.kuerzel = vorher;
        Setzen(h, aktiv);
    }
    return abgelehnt;
}

void TDesktopanbindung::Protokollieren(const std::string& text) {
    qInfo("%s", text.c_str());
    LogEintragSchreiben(logordner_.empty() ? OrdnerDerAnwendung() : logordner_, "Desktop", text, std::time(nullptr));
}

bool TDesktopanbindung::TrayVerfuegbar() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TDesktopanbindung::InsTray(TWBuchDialog& fenster) {
    // Without a tray the window goes to the task bar, never out of reach.
    if (!TrayVerfuegbar()) {
        static_cast<QWidget&>(fenster).showMinimized();
        return;
    }
    if (TrayIcon && !TrayIcon->isVisible()) TrayIcon->show();
    Startzustand().fensterSichtbar = false;
    static_cast<QWidget&>(fenster).hide();
}

void TDesktopanbindung::HotkeyStatusAnwenden(TWBuchDialog&) {
    // The lookup hotkeys follow the main hotkey.
    if (HotKey1mit.aktiv != HotKey.aktiv || HotKey2mit.aktiv != HotKey.aktiv) HotkeysSetzen(HotKey.aktiv);
}

void TDesktopanbindung::TrayHinweis(const QString& text) {
    if (TrayIcon) TrayIcon->setToolTip(text);
}

QString TDesktopanbindung::Zwischenablagentext() { return Nachschlagetext(QGuiApplication::clipboard()->text()); }

void TDesktopanbindung::NachSchliessen(Einstellungen& werte) {
    werte.HotKey = HotKey.kuerzel;
    werte.HotKey1 = HotKey1mit.kuerzel;
    werte.HotKey2 = HotKey2mit.kuerzel;
    werte.HotKeyOn = HotKey.aktiv;
}

void TDesktopanbindung::Freigeben() {
    SystemFreigeben();
    if (TrayIcon) TrayIcon->hide();
    if (WarteTimer) WarteTimer->stop();
}

void TDesktopanbindung::SystemFreigeben() {
    if (!system_) return;
    for (const THotKey* h : {&HotKey, &HotKey1mit, &HotKey2mit}) system_->Freigeben(h->id);
    system_.reset();
    qApp->removeNativeEventFilter(this);
}

bool TDesktopanbindung::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!system_) return false;
    const int id = system_->Hotkey(eventType.constData(), message);
    if (id < 0 || !HotKey.aktiv) return false;
    // The handlers may open a message box: they run from the event loop, not inside the native event.
    QMetaObject::invokeMethod(
        this,
        [this, id] {
            if (!fenster_) return;
            if (id == HotKey.id) HotKeyKeyDown();
            else if (id == HotKey1mit.id) HotKey1mitKeyDown();
            else if (id == HotKey2mit.id) HotKey2mitKeyDown();
        },
        Qt::QueuedConnection);
    return true;  // the key is consumed
}

void TDesktopanbindung::Anzeigen(int richtung) {
    if (ZeigeFenster) ZeigeFenster(richtung);
}

// To the tray, or to the task bar where no tray is offered.
void TDesktopanbindung::Minimieren() {
    fenster_->showMinimized();  // stores the placement
    InsTray(*buch_);
}

void TDesktopanbindung::HotKeyKeyDown() {
    QWidget* w = fenster_;
    if (Startzustand().fensterSichtbar && w->isVisible() && !w->isMinimized()) {
        QWidget* aktiv = AktivesFormular(w);
        if (aktiv == w) {
            Minimieren();
        } else if (!Formularname(aktiv).toUpper().contains(QStringLiteral("MELDUNG"))) {
            Meldungsfenster(KText(99012, "Bitte schließen Sie zuerst den Dialog."), KText(5006, "Hinweis"), 1, true,
                            false);
        }
        return;
    }
    Anzeigen(0);
}

void TDesktopanbindung::Nachschlagen(int richtung) {
    if (!system_ || !WarteTimer) return;
    QGuiApplication::clipboard()->clear();
    if (SendeTasten(*system_, "^C") != kEingespielt) (void)SendeTasten(*system_, "^C");
    WarteTimer->setProperty("Tag", richtung);
    WarteTimer->start();
}

void TDesktopanbindung::WarteTimerTimer() {
    if (!WarteTimer) return;
    WarteTimer->stop();
    const int richtung = WarteTimer->property("Tag").toInt();
    Anzeigen(richtung);
    WarteTimer->setProperty("Tag", 0);
}

void TDesktopanbindung::TrayIconMouseDown(QSystemTrayIcon::ActivationReason reason) {
    // A quick second click arrives as a double click: it acts as a click too.
    if ((reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick) || !fenster_) return;
    if (Startzustand().fensterSichtbar) Minimieren();
    else Anzeigen(0);  // as "Nachschlagen"
}

void TDesktopanbindung::TrayHotkeyClick() {
    HotkeysSetzen(!HotKey.aktiv);
    if (buch_)
        buch_->TrayHotkey->setText(HotKey.aktiv ? KText(98012, "&Hotkeys deaktivieren")
                                                : KText(98011, "&Hotkeys aktivieren"));
}

bool TDesktopanbindung::eventFilter(QObject* watched, QEvent* event) {
    // The shown main window minimised (the skin's minimise spot): it goes on into the tray where there is one.
    if (event->type() == QEvent::WindowStateChange && watched == fenster_ && fenster_->isMinimized() &&
        Startzustand().fensterSichtbar && TrayVerfuegbar()) {
        QTimer::singleShot(0, this, [this] {
            if (fenster_ && buch_ && fenster_->isMinimized() && Startzustand().fensterSichtbar) InsTray(*buch_);
        });
    }
    // A main window that paints while it counts as in the tray was brought back by other means: show it.
    if (event->type() == QEvent::Paint && watched == fenster_ && !Startzustand().fensterSichtbar &&
        fenster_->isVisible() && !fenster_->isMinimized()) {
        QTimer::singleShot(0, this, [this] {
            if (fenster_ && fenster_->isVisible() && !Startzustand().fensterSichtbar) Anzeigen(0);
        });
    }
    return QObject::eventFilter(watched, event);
}

void DesktopEinsetzen() { Erweiterungen().desktop = std::make_shared<TDesktopanbindung>(); }

}  // namespace zanit
