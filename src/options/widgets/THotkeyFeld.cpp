#include "options/widgets/THotkeyFeld.h"

#include <QEvent>
#include <QKeyEvent>

#include "base/Katalog.h"
#include "desktop/Tastenfolge.h"
#include "ui/widgets/Unicode.h"

namespace zanit {

int VirtuelleTaste(int k, bool ziffernblock) {
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return ziffernblock ? 0x60 + (k - Qt::Key_0) : 0x30 + (k - Qt::Key_0);
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return 0x41 + (k - Qt::Key_A);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 0x70 + (k - Qt::Key_F1);
    switch (k) {
        // Shift with a digit reports the character on the key (US and German layouts): the digit counts.
        case Qt::Key_Exclam: return '1';
        case Qt::Key_At: case Qt::Key_QuoteDbl: return '2';
        case Qt::Key_NumberSign: case Qt::Key_section: return '3';
        case Qt::Key_Dollar: return '4';
        case Qt::Key_Percent: return '5';
        case Qt::Key_AsciiCircum: return '6';
        case Qt::Key_Slash: return ziffernblock ? 0x6F : '7';
        case Qt::Key_ParenLeft: return '8';
        case Qt::Key_ParenRight: return '9';
        case Qt::Key_Equal: return '0';
        case Qt::Key_Asterisk: return ziffernblock ? 0x6A : '8';
        case Qt::Key_Plus: return ziffernblock ? 0x6B : 0;
        case Qt::Key_Minus: return ziffernblock ? 0x6D : 0;
        case Qt::Key_Space: return 0x20;
        case Qt::Key_PageUp: return 0x21;
        case Qt::Key_PageDown: return 0x22;
        case Qt::Key_End: return 0x23;
        case Qt::Key_Home: return 0x24;
        case Qt::Key_Left: return 0x25;
        case Qt::Key_Up: return 0x26;
        case Qt::Key_Right: return 0x27;
        case Qt::Key_Down: return 0x28;
        case Qt::Key_Print: return 0x2C;
        case Qt::Key_Insert: return 0x2D;
        case Qt::Key_Delete: return 0x2E;
        case Qt::Key_Pause: return 0x13;
        case Qt::Key_Backspace: return 0x08;
        case Qt::Key_Return: case Qt::Key_Enter: return 0x0D;
        case Qt::Key_Escape: return 0x1B;
        case Qt::Key_Tab: case Qt::Key_Backtab: return 0x09;
        default: return 0;
    }
}

int FeldKuerzel(int vk, bool shift, bool strg, bool alt) {
    if (vk <= 0 || vk > 0xFF) return 0;
    if (!shift && !strg && !alt) strg = true;
    return SetzeKuerzel({vk, shift, strg, alt});
}

std::string KuerzelAnzeige(int kuerzel) {
    Tastennamen namen;
    namen.strg = KatalogText(98117, "Strg");
    namen.umschalt = KatalogText(98118, "Umschalt");
    namen.leertaste = KatalogText(98119, "Leertaste");
    namen.taste = KatalogText(98120, "Taste &#");
    return KuerzelText(kuerzel, namen);
}

THotkeyFeld::THotkeyFeld(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);  // no caret text editing: keys are taken as a combination
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void THotkeyFeld::SetzeKuerzel(int kuerzel) {
    kuerzel_ = kuerzel;
    setText(ZuUnicode(KuerzelAnzeige(kuerzel)));
}

bool THotkeyFeld::event(QEvent* e) {
    // Tab with a modifier would move the focus before keyPressEvent sees it: with a modifier it is a key too.
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) &&
            (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(k);
            return true;
        }
    }
    return QLineEdit::event(e);
}

void THotkeyFeld::keyPressEvent(QKeyEvent* e) {
    const Qt::KeyboardModifiers m = e->modifiers();
    const bool shift = m & Qt::ShiftModifier, strg = m & Qt::ControlModifier, alt = m & Qt::AltModifier;
    const int key = e->key();
    if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
        key == Qt::Key_AltGr || key == Qt::Key_unknown) {
        e->accept();
        return;
    }
    if (!shift && !strg && !alt) {
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return || key == Qt::Key_Enter ||
            key == Qt::Key_Escape) {
            e->ignore();  // the dialog's: next field, OK, cancel
            return;
        }
        if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
            SetzeKuerzel(0);
            emit geaendert(0);
            e->accept();
            return;
        }
    }
    if (key == Qt::Key_Backtab && shift) {
        e->ignore();
        return;
    }
    const int k = FeldKuerzel(VirtuelleTaste(key, m & Qt::KeypadModifier), shift, strg, alt);
    if (k != 0) {
        SetzeKuerzel(k);
        emit geaendert(k);
    }
    e->accept();
}

void THotkeyFeld::keyReleaseEvent(QKeyEvent* e) { e->accept(); }

}  // namespace zanit
