#pragma once
// The dictionary in the notification area and on the system-wide hotkeys: the main hotkey hides the main
// window to the tray or brings it back; the two lookup hotkeys copy the text selected in the foreground
// program and look it up, one in each search direction. Installed into the main window's joints.
#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <array>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/widgets/Erweiterungen.h"
#include "desktop/Hotkeys.h"

class QTimer;

namespace zanit {

// One hotkey component: its shortcut (stored form) and whether it is active.
struct THotKey {
    int id = 0;
    int kuerzel = 0;
    bool aktiv = false;
};

// The clipboard text as a lookup takes it: trimmed, every character below code 32 dropped without a blank in
// its place (the lines of a multi-line selection are joined).
QString Nachschlagetext(const QString& zwischenablage);

class TDesktopanbindung : public QObject, public Desktop, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // `system`: the hotkeys and injection to use; nullptr takes the platform's for the display Qt runs on.
    explicit TDesktopanbindung(std::unique_ptr<THotkeySystem> system = nullptr);
    ~TDesktopanbindung() override;

    bool Vorhanden() const override { return true; }
    void Einrichten(TWBuchDialog& fenster) override;
    bool HotkeysAktiv() const override { return HotKey.aktiv; }
    bool TrayVerfuegbar() const override;
    // Into the tray (also what the skin's minimise spot does); without a tray host the window is minimised to
    // the task bar instead and keeps counting as shown.
    void InsTray(TWBuchDialog& fenster) override;
    void HotkeyStatusAnwenden(TWBuchDialog& fenster) override;
    void TrayHinweis(const QString& text) override;
    QString Zwischenablagentext() override;
    void NachSchliessen(Einstellungen& werte) override;
    void Freigeben() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // The handlers.
    void HotKeyKeyDown();
    void HotKey1mitKeyDown() { Nachschlagen(1); }
    void HotKey2mitKeyDown() { Nachschlagen(2); }
    void WarteTimerTimer();
    void TrayIconMouseDown(QSystemTrayIcon::ActivationReason reason);
    void TrayHotkeyClick();

    // All three hotkeys on or off together.
    void HotkeysSetzen(bool aktiv);

    // For the options dialog: the three hotkeys' active states (HotKey, HotKey1mit, HotKey2mit), remembered
    // while keys are typed into its fields, and each put back as it was afterwards.
    std::array<bool, 3> AktivZustaende() const { return {HotKey.aktiv, HotKey1mit.aktiv, HotKey2mit.aktiv}; }
    void ZustaendeWiederherstellen(const std::array<bool, 3>& aktiv);
    // Whether the system would give us a shortcut now (claimed under a spare id and released at once).
    bool KuerzelFrei(int kuerzel, std::string& fehler);
    // New shortcuts for the three, all active or all inactive. A shortcut the system refuses is not taken:
    // that hotkey keeps its previous one (claimed again). Returns the indices (0..2) of the refused ones.
    std::vector<int> KuerzelSetzen(bool aktiv, const std::array<int, 3>& kuerzel);

    // Where notes about hotkeys that could not be claimed go ("WB.log" in that folder); default: the program
    // folder of the settings.
    void SetzeLogordner(const std::string& ordner) { logordner_ = ordner; }

    THotKey HotKey{1}, HotKey1mit{2}, HotKey2mit{3};
    QPointer<QTimer> WarteTimer;
    QPointer<QSystemTrayIcon> TrayIcon;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Setzen(THotKey& h, bool aktiv);  // false when the system refused the shortcut
    void Nachschlagen(int richtung);
    void Anzeigen(int richtung);
    void Minimieren();
    void Protokollieren(const std::string& text);
    void SystemFreigeben();

    std::unique_ptr<THotkeySystem> system_;
    QPointer<QWidget> fenster_;
    TWBuchDialog* buch_ = nullptr;
    std::string logordner_;
    std::set<std::pair<int, int>> gemeldet_;  // (id, shortcut) whose refusal is in the log
    bool eingerichtet_ = false;
};

// Installs the desktop integration for this process; call before the main window is created.
void DesktopEinsetzen();

}  // namespace zanit
