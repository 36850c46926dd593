#include "presentation/widgets/Zwischenablage.h"

#include <QClipboard>
#include <QGuiApplication>

#include "ui/widgets/Unicode.h"

namespace zanit {

// The application owns the clipboard's content (not the dialog that copied), so on X11 the text stays
// available to other programs after the dialog has closed.
void InZwischenablage(std::string_view cp1252) {
    QClipboard* ablage = QGuiApplication::clipboard();
    ablage->clear(QClipboard::Clipboard);
    ablage->setText(ZuUnicode(cp1252), QClipboard::Clipboard);
}

}  // namespace zanit
