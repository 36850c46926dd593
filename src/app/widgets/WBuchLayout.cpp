// The main window's layout: the classic and the multi-language placement of the controls, the language
// tabs, the direction buttons and the list font.

#include "app/widgets/WBuchDialog.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <tuple>
#include <utility>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "app/widgets/Erweiterungen.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Unicode.h"
#include "data/Woerterbuecher.h"
#include "search/widgets/ErgebnisListe.h"

namespace zanit {

namespace {

int Rechts(const QWidget* w) { return w->x() + w->width(); }
void Setzen(QWidget* w, const Flaeche& f) { w->setGeometry(f.x, f.y, f.breite, f.hoehe); }

}  // namespace


// Steps of a direction change that leave the direction as it is: buttons, sound tags, headers, hints.
void TWBuchDialog::RichtungsknoepfeAnzeigen() {
    QPushButton* ziel = suchrichtung_ == 1 ? Suchsprache2Button : Suchsprache1Button;
    QPushButton* aktiv = suchrichtung_ == 1 ? Suchsprache1Button : Suchsprache2Button;
    ziel->setEnabled(true);
    ziel->setAttribute(Qt::WA_Hover, true);
    ziel->setStyleSheet(QStringLiteral("color: rgb(95, 110, 140);"));
    ziel->setProperty("Aktiv", false);
    aktiv->setProperty("Aktiv", true);  // a painted face shows the active direction pressed
    aktiv->setAttribute(Qt::WA_Hover, false);
    aktiv->setStyleSheet(QStringLiteral("color: white; background-color: rgb(95, 110, 140);"));
    Sound1MMButton->setProperty("Tag", suchrichtung_ == 2 ? 2 : 1);
    Sound2MMButton->setProperty("Tag", suchrichtung_ == 2 ? 1 : 2);
    SetzeKopfzeile(false);
    Sound1MMButton->setToolTip(ZuUnicode(
        KatalogTextMitArgumenten(30022, "Sprachausgabe &#", ZuCp1252(ErgebnisListe->Kopftext(0)))));
    Sound2MMButton->setToolTip(ZuUnicode(
        KatalogTextMitArgumenten(30022, "Sprachausgabe &#", ZuCp1252(ErgebnisListe->Kopftext(1)))));
}

void TWBuchDialog::ZeigeSprachreiter() {
    const TWoerterbuecher& wb = *woerterbuecher_;
    const int count = static_cast<int>(wb.Liste.size());
    for (int k = 1; k <= 5; ++k) {
        QLabel* image = FremdspracheImage[k - 1];
        QLabel* label = FremdspracheAktivLabel[k - 1];
        QToolButton* tab = FremdspracheTab[k - 1];
        const int code = k <= static_cast<int>(wb.Sprachcodes.size()) ? wb.Sprachcodes[k - 1] : 0;
        const QString name = ZuUnicode(Sprachcodename(code));
        label->setText(name);
        tab->setText(name);
        if (k > count) {
            tab->hide();
            tab->setEnabled(false);
            image->hide();
            label->hide();
            label->setEnabled(false);
        } else if (k == aktuellePosition_) {
            image->show();
            label->show();
            label->setEnabled(true);
            tab->hide();
            tab->setEnabled(false);
        } else {
            tab->show();
            tab->setEnabled(true);
            image->hide();
            label->hide();
        }
    }
    if (aktuellePosition_ >= 1 && aktuellePosition_ <= 5)
        FremdspracheTitelLabel->move(FremdspracheImage[aktuellePosition_ - 1]->x() + 8, FremdspracheTitelLabel->y());
    const int mutter = SprachcodeAusBuchstabe(dialogbuchstabe_);
    MutterspracheLabel->setText(ZuUnicode(Sprachcodename(mutter)));
    Suchsprache1Button->setText(ZuUnicode(Sprachcodename(mutter)));
    const int pos = aktuellePosition_ - 1;
    const int fremd = (pos >= 0 && pos < static_cast<int>(wb.Sprachcodes.size())) ? wb.Sprachcodes[pos] : 0;
    Suchsprache2Button->setText(ZuUnicode(Sprachcodename(fremd)));
    Erweiterungen().skin->SprachreiterBilder(*this, wb.Sprachcodes, mutter);
}

void TWBuchDialog::SchriftAnwenden() {
    QFont font(ZuUnicode(werte_.Fontname));
    font.setPointSize(std::max(1, werte_.Fontsize));
    const QFontMetrics fm(font);
    ErgebnisListe->SetzeZeilenhoehe(fm.height() + 4);
    wortartBreite_ = fm.horizontalAdvance(QStringLiteral("Redewendung  "));
    ErgebnisListe->setFont(font);
    if (Startzustand().mehrsprachig) MachResizeNeu();
    else MachResize();
}

void TWBuchDialog::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (Startzustand().mehrsprachig) MachResizeNeu();
    else MachResize();
}

void TWBuchDialog::MachResize() {
    if (Startzustand().mehrsprachig) return;
    const QRect frame = frameGeometry();
    const int dw = frame.width() - width(), dh = frame.height() - height();
    if (isVisible() && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) &&
        (frame.width() < kKlassischMinBreite || frame.height() < kKlassischMinHoehe)) {
        resize(std::max(frame.width(), kKlassischMinBreite) - dw, std::max(frame.height(), kKlassischMinHoehe) - dh);
        return;  // the resize comes back here
    }
    setMinimumSize(std::max(240, kKlassischMinBreite - dw), std::max(60, kKlassischMinHoehe - dh));
    FilterLabel->adjustSize();
    const KlassischesLayout l = zanit::MachResize(
        {width(), height(), frame.width(), FilterLabel->width(), Trefferlabel->sizeHint().height()});
    Setzen(Edge, l.Edge);
    EingabePanel->setGeometry(12, 32, 226, 28);
    EingabePanel->raise();
    SuchEdit->setGeometry(2, 3, 190, 22);
    EingabeButton->setGeometry(196, 2, 28, 24);
    Setzen(Rahmen, l.Rahmen);
    const int listWidth = ErgebnisListe->viewport()->width() > 0 ? Rahmen->width() - 4 : Rahmen->width();
    SpaltenSetzen(Listenspalten(listWidth, wortartBreite_));
    Setzen(menupanel, l.menupanel);
    Setzen(Trefferlabel, l.Trefferlabel);
    FilterLabel->move(l.FilterLabel.x, l.FilterLabel.y);
    const int edgeRight = Rechts(Edge);
    WPlaybutton->setGeometry(edgeRight - 195, Edge->y() + 8, 96, 24);
    Detailbutton->setGeometry(edgeRight - 95, Edge->y() + 8, 88, 24);
    InfoButton->setGeometry(edgeRight - 295, Edge->y() + 8, 96, 24);
    if (FilterAnButton->isVisible() || !isVisible()) {
        FilterAnButton->setGeometry(l.FilterAnButtonX, Edge->y() + 38, 44, 24);
        FilterAusButton->setGeometry(l.FilterAusButtonX, Edge->y() + 38, 44, 24);
    }
}

void TWBuchDialog::SpaltenSetzen(Spalten s) {
    ErgebnisListe->SetzeSpaltenbreite(0, s.sprache);
    ErgebnisListe->SetzeSpaltenbreite(1, s.sprache);
    ErgebnisListe->SetzeSpaltenbreite(2, s.wortart);
}

SprachreiterLayout TWBuchDialog::Reiterlayout() const {
    SprachreiterEingabe e;
    e.l9 = Erweiterungen().skin->L9();
    e.mutterBild = {MutterspracheImage->width(), MutterspracheImage->height()};
    for (std::size_t k = 0; k < 5; ++k) e.fremdBild[k] = {FremdspracheImage[k]->width(), FremdspracheImage[k]->height()};
    return zanit::PlatziereSprachreiter(e);
}

void TWBuchDialog::MachResizeNeu() {
    if (!Startzustand().mehrsprachig) return;
    if (isVisible() && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) &&
        (width() < kNeuMinBreite || height() < kNeuMinHoehe)) {
        resize(std::max(width(), kNeuMinBreite), std::max(height(), kNeuMinHoehe));
        return;
    }
    setMinimumSize(kNeuMinBreite, kNeuMinHoehe);
    PlatziereSprachreiter();
    const Skin& skin = *Erweiterungen().skin;
    for (QLabel* label : std::initializer_list<QLabel*>{SuchbegriffLabel, SuchenInLabel, SuchergebnisLabel,
                                                         FilterLabel, VertonungenTitelLabel})
        label->adjustSize();
    const auto g = [](const QWidget* w) { return Groesse{w->width(), w->height()}; };
    NeuEingabe e;
    std::tie(e.clientBreite, e.clientHoehe, e.aussenBreite) = std::tuple(width(), height(), frameGeometry().width());
    std::tie(e.l9, e.w10, e.h7) = std::tuple(skin.L9(), skin.W10(), skin.H7());
    e.reiter = Reiterlayout();
    e.suchbegriffLabel = g(SuchbegriffLabel);
    e.suchEditNeu = g(SuchEditNeu);
    e.suchenInLabel = g(SuchenInLabel);
    e.suchergebnisLabel = g(SuchergebnisLabel);
    e.vertonungenTitelLabel = g(VertonungenTitelLabel);
    e.sound1 = g(Sound1MMButton);
    e.sound2 = g(Sound2MMButton);
    e.umkehrsuche = g(UmkehrsucheMMButton);
    e.filterMM = g(FilterMMButton);
    e.uebernahme = g(UebernahmeMMButton);
    e.umkehrMMBreite = UmkehrMMButton->width();
    e.filterLabelBreite = FilterLabel->width();
    e.trefferHoehe = Trefferlabel->sizeHint().height();
    const NeuLayout l = zanit::MachResizeNeu(e);
    for (auto [w, f] : {std::pair<QWidget*, Flaeche>{HintergrundShape, l.HintergrundShape},
                        {VerlaufImage, l.VerlaufImage}, {SuchbegriffLabel, l.SuchbegriffLabel},
                        {SuchEditNeuBorderShape, l.SuchEditNeuBorderShape}, {SuchEditNeu, l.SuchEditNeu},
                        {SuchenInLabel, l.SuchenInLabel}, {SuchergebnisLabel, l.SuchergebnisLabel},
                        {Rahmen, l.Rahmen}, {Trefferlabel, l.Trefferlabel},
                        {VertonungenTitelLabel, l.VertonungenTitelLabel}, {Sound1MMButton, l.Sound1MMButton},
                        {Sound2MMButton, l.Sound2MMButton}, {Eintrag1Label, l.Eintrag1Label},
                        {Eintrag2Label, l.Eintrag2Label}, {UmkehrsucheMMButton, l.UmkehrsucheMMButton},
                        {FilterMMButton, l.FilterMMButton}, {UebernahmeMMButton, l.UebernahmeMMButton},
                        {menupanel, l.menupanel}})
        Setzen(w, f);
    for (auto [w, p] : {std::pair<QWidget*, Flaeche>{Suchsprache1Button, l.Suchsprache1Button},
                        {Suchsprache2Button, l.Suchsprache2Button}, {FilterLabel, l.FilterLabel}})
        w->move(p.x, p.y);
    SpaltenSetzen(Listenspalten(Rahmen->width(), wortartBreite_));
}

void TWBuchDialog::PlatziereSprachreiter() {
    if (!Startzustand().mehrsprachig) return;
    const SprachreiterLayout l = Reiterlayout();
    Setzen(MutterspracheImage, l.MutterspracheImage);
    Setzen(MutterspracheTitelLabel, l.MutterspracheTitelLabel);
    Setzen(MutterspracheLabel, l.MutterspracheLabel);
    FremdspracheTitelLabel->setGeometry(FremdspracheTitelLabel->x(), l.FremdspracheTitelLabel.y,
                                        l.FremdspracheTitelLabel.breite, l.FremdspracheTitelLabel.hoehe);
    for (std::size_t k = 0; k < 5; ++k) {
        Setzen(FremdspracheImage[k], l.FremdspracheImage[k]);
        Setzen(FremdspracheAktivLabel[k], l.FremdspracheAktivLabel[k]);
        FremdspracheTab[k]->move(l.FremdspracheTab[k].x, l.FremdspracheTab[k].y);
    }
    for (QLabel* label : {MutterspracheTitelLabel, MutterspracheLabel, FremdspracheTitelLabel}) label->raise();
    for (QLabel* label : FremdspracheAktivLabel) label->raise();
}

}  // namespace zanit
