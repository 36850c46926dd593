#include "presentation/widgets/WBAnzeigeDialog.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "presentation/Eintragsdetails.h"
#include "presentation/widgets/Zwischenablage.h"
#include "search/widgets/ErgebnisListe.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Knopfkasten.h"
#include "ui/widgets/MeldungDialog.h"
#include "ui/widgets/Unicode.h"

namespace zanit {

TWBAnzeigeDialog::TWBAnzeigeDialog(QWidget* owner) : TOwnFenster(owner) {
    setObjectName(QStringLiteral("WBAnzeigeDialog"));
    setModal(true);
    setFixedSize(628, 308);
    auto name = [](QObject* o, const char* n) { o->setObjectName(QString::fromLatin1(n)); };

    MutterRahmen = new QFrame(this);
    name(MutterRahmen, "MutterRahmen");
    MutterRahmen->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    MutterRahmen->setGeometry(14, 45, 593, 82);
    MutterLabel = new QLabel(this);
    name(MutterLabel, "MutterLabel");
    MutterLabel->setGeometry(21, 53, 577, 51);
    MutterLabel->setAlignment(Qt::AlignCenter);
    MutterLabel->setWordWrap(true);
    MutterLabel->setTextFormat(Qt::PlainText);
    Wortartlabel = new QLabel(this);
    name(Wortartlabel, "Wortartlabel");
    Wortartlabel->setGeometry(21, 102, 577, 20);
    Wortartlabel->setAlignment(Qt::AlignCenter);
    MutterspracheLabel = new QLabel(this);
    name(MutterspracheLabel, "MutterspracheLabel");
    MutterspracheLabel->setAlignment(Qt::AlignCenter);
    MutterspracheLabel->setAutoFillBackground(true);
    MutterspracheLabel->move(21, 39);

    GegenPanel = new QFrame(this);
    name(GegenPanel, "GegenPanel");
    GegenPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    GegenPanel->setGeometry(13, 133, 594, 124);
    GegenListe = new TErgebnisListe(GegenPanel, 2);
    name(GegenListe, "GegenListe");
    GegenListe->setGeometry(2, 2, GegenPanel->width() - 4, GegenPanel->height() - 4);

    Playbutton = new QPushButton(this);
    name(Playbutton, "Playbutton");
    Playbutton->setFlat(true);
    Playbutton->setGeometry(12, 262, 76, 24);
    Detailbutton = new QPushButton(this);
    name(Detailbutton, "Detailbutton");
    Detailbutton->setFlat(true);
    Detailbutton->setGeometry(92, 262, 76, 24);
    const bool klassisch = !Startzustand().mehrsprachig;
    for (QPushButton* b : {Playbutton, Detailbutton}) {
        b->setVisible(klassisch);
        b->setEnabled(klassisch);
        b->setAutoDefault(false);
    }
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    name(OkButton, "OkButton");
    OkButton->setDefault(true);
    buttonbox = SetzeKnopfkasten(this, Knopflayout::Schliessen, OkButton, nullptr);

    // The menu's shortcuts act wherever the focus is in the dialog: the form sees keys before its controls.
    PopiMenu = new QMenu(this);
    name(PopiMenu, "PopiMenu");
    auto aktion = [this](const char* n, QKeySequence taste) {
        QAction* a = PopiMenu->addAction(QString());
        a->setObjectName(QString::fromLatin1(n));
        a->setShortcut(taste);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        return a;
    };
    PopSprachausgabe = aktion("PopSprachausgabe", QKeySequence(Qt::Key_F12));
    PopDetails = aktion("PopDetails", QKeySequence(Qt::CTRL | Qt::Key_D));
    PopiMenu->addSeparator();
    PopKopieren = aktion("PopKopieren", QKeySequence(Qt::CTRL | Qt::Key_C));
    GegenListe->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(GegenListe, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopiMenu->popup(GegenListe->viewport()->mapToGlobal(p)); });

    connect(Playbutton, &QPushButton::clicked, this, &TWBAnzeigeDialog::PlaybuttonClick);
    connect(PopSprachausgabe, &QAction::triggered, this, &TWBAnzeigeDialog::PlaybuttonClick);
    connect(Detailbutton, &QPushButton::clicked, this, &TWBAnzeigeDialog::DetailbuttonClick);
    connect(GegenListe, &QListWidget::itemDoubleClicked, this, &TWBAnzeigeDialog::DetailbuttonClick);
    connect(PopDetails, &QAction::triggered, this, &TWBAnzeigeDialog::DetailbuttonClick);
    connect(PopKopieren, &QAction::triggered, this, &TWBAnzeigeDialog::PopKopierenClick);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TWBAnzeigeDialog::Zeigen(const Anzeigeinhalt& inhalt) {
    richtung_ = inhalt.richtung;
    Playbutton->setVisible(true);
    Playbutton->setEnabled(inhalt.sprechen);
    QFont schrift(QStringLiteral("Arial"));
    schrift.setPointSize(11);
    MutterLabel->setFont(schrift);
    Wortartlabel->setText(inhalt.wortart);
    GegenListe->SetzeKopftext(0, inhalt.kopfLinks);
    GegenListe->SetzeKopftext(1, inhalt.kopfRechts);
    const Kopfbreiten breiten = GegenKopfbreiten(GegenListe->width());
    GegenListe->SetzeSpaltenbreite(0, breiten.links);
    GegenListe->SetzeSpaltenbreite(1, breiten.rechts);
    MutterspracheLabel->setText(QLatin1Char(' ') + inhalt.suchsprache + QLatin1Char(' '));
    MutterspracheLabel->adjustSize();
    MutterspracheLabel->move((width() - MutterspracheLabel->width()) / 2, 39);
    MutterspracheLabel->raise();
    MutterLabel->setText(inhalt.eintrag);
    GegenListe->clear();
    for (const std::string& zeile : inhalt.gegenliste) GegenListe->ZeileHinzufuegen(ZuUnicode(zeile), 0);
    exec();
}

void TWBAnzeigeDialog::showEvent(QShowEvent* e) {
    FormShow();
    TOwnFenster::showEvent(e);
}

void TWBAnzeigeDialog::FormShow() {
    ZentriereDialog(this);
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
    setWindowTitle(KText(31001, "Wörterbucheintrag"));
    Playbutton->setText(KText(3032, "Sp&rache"));
    Playbutton->setToolTip(KText(3035, "Sprachausgabe") + QStringLiteral(" (F12)"));
    Detailbutton->setText(KText(3047, "&Details"));
    Detailbutton->setToolTip(KText(31010, "Details des markierten Eintrags anzeigen"));
    PopSprachausgabe->setText(KText(3035, "Sprachausgabe"));
    PopDetails->setText(KText(3052, "Details anzeigen"));
    PopKopieren->setText(KText(3050, "Übersetzung kopieren"));
    buttonbox->setSprache(Knopfsprache());
    GegenListe->setFocus(Qt::OtherFocusReason);
}

int TWBAnzeigeDialog::Befehlszeile(int meldung, const char* text) {
    const int zeile = zanit::Befehlszeile(GegenListe->count(), GegenListe->currentRow());
    if (zeile < 0) {
        Meldungsfenster(ZuUnicode(KatalogText(meldung, text)), KText(5006, "Hinweis"), 2, true, false);
        return -1;
    }
    GegenListe->setCurrentRow(zeile);
    return zeile;
}

void TWBAnzeigeDialog::DetailbuttonClick() {
    const int zeile = Befehlszeile(99011, "Bitte wählen Sie zuerst einen der angezeigten Wörterbucheinträge aus.");
    if (zeile < 0) return;
    const auto rueck = Rueckuebersetzungen(ZuCp1252(GegenListe->Zeile(zeile)));
    if (!rueck) return;
    Meldungsfenster(ZuUnicode(*rueck), KText(31011, "Details"), Detailzeilen(*rueck), true, false);
}

void TWBAnzeigeDialog::PopKopierenClick() {
    const int zeile = Befehlszeile(99013, "Bitte wählen Sie zuerst einen zu kopierenden Wörterbucheintrag aus.");
    if (zeile < 0) return;
    if (const auto text = Gegenkopie(ZuCp1252(GegenListe->Zeile(zeile)))) InZwischenablage(*text);
}

void TWBAnzeigeDialog::PlaybuttonClick() {
    if (!Playbutton->isEnabled()) return;
    const int zeilen = GegenListe->count();
    if (zeilen == 0) {
        Meldungsfenster(ZuUnicode(KatalogText(99009, "Es sind keine zu sprechenden Wörterbucheinträge vorhanden.")),
                        KText(5006, "Hinweis"), 1, true, false);
        return;
    }
    const int zeile = Befehlszeile(99010, "Bitte wählen Sie zuerst einen zu sprechenden Wörterbucheintrag aus.");
    if (zeile < 0) return;
    const auto text = Sprechtext(ZuCp1252(GegenListe->Zeile(zeile)), richtung_);
    if (text && Sprechen) Sprechen(*text);
}

}  // namespace zanit
