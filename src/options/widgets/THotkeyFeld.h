#pragma once
// A field that takes a key combination the way the system's hotkey fields do: the user presses the
// combination and the field shows it. A key pressed without Shift, Ctrl or Alt gets Ctrl, since a hotkey
// without a modifier would swallow the key everywhere. Backspace or Delete alone empties the field; Tab, Return
// and Escape alone keep their meaning in the dialog.
#include <QLineEdit>
#include <string>

class QKeyEvent;

namespace zanit {

// The platform-neutral key code (Tastenfolge.h) of a toolkit key, 0 when a hotkey cannot use it.
int VirtuelleTaste(int qtTaste, bool ziffernblock);
// The shortcut a hotkey field makes of a key and its modifiers: 0 for an unusable key; Ctrl added when no
// modifier is held.
int FeldKuerzel(int vk, bool shift, bool strg, bool alt);
// A shortcut as the user reads it in the dialog language (Windows-1252): "Strg+2", "Ctrl+2".
std::string KuerzelAnzeige(int kuerzel);

class THotkeyFeld : public QLineEdit {
    Q_OBJECT
public:
    explicit THotkeyFeld(QWidget* parent = nullptr);
    int Kuerzel() const { return kuerzel_; }
    void SetzeKuerzel(int kuerzel);

signals:
    void geaendert(int kuerzel);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;

private:
    int kuerzel_ = 0;
};

}  // namespace zanit
