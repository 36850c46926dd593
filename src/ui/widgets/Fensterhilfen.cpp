#include "ui/widgets/Fensterhilfen.h"

#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTextEdit>
#include <QScreen>
#include <QWidget>

#include "base/Katalog.h"
#include "ui/widgets/TButtonLeiste.h"
#include "ui/widgets/TKante.h"
#include "ui/widgets/Unicode.h"

namespace zanit {

Fensterrechteck BildschirmRechteck() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0, 800, 600};
    const QRect r = screen->geometry();
    return {r.left(), r.top(), r.width(), r.height()};
}

Fensterrechteck Rechteck(const QWidget* window) {
    const QRect r = window->frameGeometry();
    return {r.left(), r.top(), r.width(), r.height()};
}

void FaerbeDialog(QWidget* form) {
    const QColor colour(0xD7, 0xE1, 0xF0);  // BGR value $F0E1D7
    auto paint = [&](QWidget* w) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, colour);
        w->setPalette(pal);
        w->setAutoFillBackground(true);
    };
    paint(form);
    // Simple labels and panels, rich edits, button boxes, group boxes: the controls that show the form's own
    // colour.
    for (QWidget* w : form->findChildren<QWidget*>()) {
        const char* klasse = w->metaObject()->className();
        if (qobject_cast<QLabel*>(w) || qstrcmp(klasse, "QFrame") == 0 || qobject_cast<QGroupBox*>(w) ||
            qobject_cast<TButtonLeiste*>(w))
            paint(w);
        if (auto* edit = qobject_cast<QTextEdit*>(w)) {
            QPalette pal = edit->palette();
            pal.setColor(QPalette::Base, colour);
            edit->setPalette(pal);
        }
        // A drawn edge keeps only its inner line on the recoloured form.
        if (auto* kante = qobject_cast<TKante*>(w)) kante->SetzeStile(Kantenart::Keine, kante->Innen());
    }
}

QString AbbrechenText(int language) {
    static const char* const kTexte[7] = {"Abbrechen", "Cancel",   "Annuler", "Annulla",
                                          "Cancelar",  "Annuleren", "Avbryt"};
    return QString::fromUtf8(kTexte[(language >= 0 && language <= 6) ? language : 0]);
}

QString KText(int number, std::string_view deutsch) {
    return ZuUnicode(KatalogText(number, deutsch));
}

QString KTextZanit(int number, std::string_view deutsch) {
    return ZuUnicode(KatalogTextMitArgumenten(number, deutsch, "zanit"));
}

}  // namespace zanit
