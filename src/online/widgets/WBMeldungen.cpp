#include "online/widgets/WBMeldungen.h"

#include <QLabel>
#include <QPushButton>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "online/widgets/TVerweisLabel.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Knopfkasten.h"

namespace zanit {
namespace {

constexpr int kBreite = 430;
constexpr int kHoehe = 330;

QLabel* Textzeile(QWidget* eltern, const char* name, int y, int hoehe) {
    auto* l = new QLabel(eltern);
    l->setObjectName(QString::fromLatin1(name));
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setGeometry(20, y, kBreite - 40, hoehe);
    return l;
}

}  // namespace

TWBMeldungenDialog::TWBMeldungenDialog(QWidget* parent) : TOwnFenster(parent) {
    setObjectName(QStringLiteral("WBMeldungenDialog"));
    setFixedSize(kBreite, kHoehe);
    PanelLabel = new QLabel(this);
    PanelLabel->setObjectName(QStringLiteral("PanelLabel"));
    PanelLabel->setGeometry(6, 32, kBreite - 12, 24);
    PanelLabel->setAlignment(Qt::AlignCenter);
    PanelLabel->setAutoFillBackground(true);
    QFont fett = PanelLabel->font();
    fett.setBold(true);
    PanelLabel->setFont(fett);
    LabelOben = Textzeile(this, "LabelOben", 66, 34);
    LabelMitte = Textzeile(this, "LabelMitte", 104, 66);
    LabelMitte2 = Textzeile(this, "LabelMitte2", 174, 50);
    LabelUnten = Textzeile(this, "LabelUnten", 228, 20);
    LabelUnten->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    EMailButton = new QPushButton(this);
    EMailButton->setObjectName(QStringLiteral("EMailButton"));
    EMailButton->setGeometry(20, 256, 250, 26);
    EMailLabel = new TVerweisLabel(this);
    EMailLabel->setObjectName(QStringLiteral("EMailLabel"));
    EMailLabel->hide();
    OkButton = new QPushButton(this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    buttonbox = SetzeKnopfkasten(this, Knopflayout::Schliessen, OkButton, nullptr);
    connect(OkButton, &QPushButton::clicked, this, [this] { done(1); });
    connect(EMailButton, &QPushButton::clicked, this, &TWBMeldungenDialog::EMailButtonClick);
}

void TWBMeldungenDialog::showEvent(QShowEvent* e) {
    setWindowTitle(KText(24001, "Wörterbuch-Meldungen"));
    PanelLabel->setText(KText(24005, "Fehlende oder fehlerhafte Einträge im Wörterbuch"));
    LabelOben->setText(
        KText(24012, "Wir sind ständig damit beschäftigt, unsere Wörterbücher weiter zu verbessern und auszubauen."));
    LabelMitte->setText(KText(24013, "Sollten Sie bei Ihrer Arbeit mit unseren Produkten auf einen fehlerhaften "
                                     "Wörterbucheintrag gestoßen sein oder ein Wort in den Datenbeständen vermissen, "
                                     "dann wäre ein entsprechender Hinweis daher für uns sehr wertvoll."));
    LabelMitte2->setText(KTextZanit(24014, "Bitte geben Sie bei allen Zuschriften unbedingt an, mit welchem "
                                           "&#-Produkt Sie arbeiten, damit wir den Hinweis korrekt zuordnen können."));
    LabelUnten->setText(KText(24015, "Vielen herzlichen Dank für Ihre Mitarbeit!"));
    EMailButton->setText(KText(24011, "Hinweise per &E-Mail übermitteln"));
    EMailButton->setToolTip(KText(24021, "E-Mail an die Wörterbuch-Redaktion senden"));
    buttonbox->setSprache(Knopfsprache());
    OkButton->setText(KnopfText(Knopflayout::Schliessen, Knopfsprache(), false));
    EMailLabel->Einschalten();  // a new showing: the link works again
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
    // Centred on the screen.
    const Fensterrechteck s = BildschirmRechteck();
    move(s.left + (s.width - width()) / 2, s.top + (s.height - height()) / 2);
    TOwnFenster::showEvent(e);
    OkButton->setFocus(Qt::OtherFocusReason);
}

void TWBMeldungenDialog::EMailButtonClick() {
    const QString adresse = KText(24010, "woerterbuch@example.com");
    EMailLabel->SetzeZiel(QStringLiteral("mailto:") + adresse);
    EMailLabel->Oeffnen();
}

}  // namespace zanit
