// The main window's controls and menus as the form creates them, their handlers, which controls each layout
// shows, and their texts from the catalogue.

#include "app/widgets/WBuchDialog.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <vector>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "app/widgets/Anwendung.h"
#include "app/widgets/Erweiterungen.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Unicode.h"
#include "data/Woerterbuecher.h"
#include "search/Suche.h"
#include "search/widgets/ErgebnisListe.h"

namespace zanit {

void TWBuchDialog::ErzeugeSteuerelemente() {
    auto name = [](QObject* o, const char* n) { o->setObjectName(QString::fromLatin1(n)); };

    // Classic layout.
    Edge = new QFrame(this);
    name(Edge, "Edge");
    Edge->setFrameShape(QFrame::StyledPanel);
    SuchRegister = new QTabWidget(Edge);
    name(SuchRegister, "SuchRegister");
    Eingabe1 = new QWidget;
    name(Eingabe1, "Eingabe1");
    Eingabe2 = new QWidget;
    name(Eingabe2, "Eingabe2");
    SuchRegister->addTab(Eingabe1, QStringLiteral("&1"));
    SuchRegister->addTab(Eingabe2, QStringLiteral("&2"));
    SuchRegister->setGeometry(8, 4, 236, 60);
    EingabePanel = new QFrame(Edge);
    name(EingabePanel, "EingabePanel");
    SuchEdit = new QLineEdit(EingabePanel);
    name(SuchEdit, "SuchEdit");
    EingabeButton = new QPushButton(EingabePanel);
    name(EingabeButton, "EingabeButton");
    EingabeButton->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    WPlaybutton = new QPushButton(this);
    name(WPlaybutton, "WPlaybutton");
    Detailbutton = new QPushButton(this);
    name(Detailbutton, "Detailbutton");
    FilterAnButton = new QPushButton(this);
    name(FilterAnButton, "FilterAnButton");
    FilterAusButton = new QPushButton(this);
    name(FilterAusButton, "FilterAusButton");
    UebernehmenButton = new QPushButton(this);
    name(UebernehmenButton, "UebernehmenButton");
    InfoButton = new QPushButton(this);
    name(InfoButton, "InfoButton");
    InfoMMButton = new QPushButton(this);
    name(InfoMMButton, "InfoMMButton");

    Rahmen = new QFrame(this);
    name(Rahmen, "Rahmen");
    Rahmen->setFrameShape(QFrame::NoFrame);
    ErgebnisListe = new TErgebnisListe(Rahmen);
    auto* rl = new QVBoxLayout(Rahmen);
    rl->setContentsMargins(0, 0, 0, 0);
    rl->addWidget(ErgebnisListe);
    Trefferlabel = new TKlickLabel(this);
    name(Trefferlabel, "Trefferlabel");
    FilterLabel = new TKlickLabel(this);
    name(FilterLabel, "FilterLabel");

    // Multi-language layout.
    HintergrundShape = new QFrame(this);
    name(HintergrundShape, "HintergrundShape");
    HintergrundShape->setFrameShape(QFrame::Box);
    VerlaufImage = new QLabel(this);
    name(VerlaufImage, "VerlaufImage");
    VerlaufImage->setAutoFillBackground(true);
    MutterspracheImage = new QLabel(this);
    name(MutterspracheImage, "MutterspracheImage");
    MutterspracheImage->setFrameShape(QFrame::Panel);
    MutterspracheImage->setFixedSize(150, 64);
    MutterspracheTitelLabel = new QLabel(this);
    name(MutterspracheTitelLabel, "MutterspracheTitelLabel");
    MutterspracheLabel = new QLabel(this);
    name(MutterspracheLabel, "MutterspracheLabel");
    FremdspracheTitelLabel = new QLabel(this);
    name(FremdspracheTitelLabel, "FremdspracheTitelLabel");
    for (int k = 0; k < 5; ++k) {
        const QByteArray n = QByteArray::number(k + 1);
        FremdspracheImage[k] = new QLabel(this);
        FremdspracheImage[k]->setObjectName(QStringLiteral("Fremdsprache%1Image").arg(k + 1));
        FremdspracheImage[k]->setFrameShape(QFrame::Panel);
        FremdspracheImage[k]->setFixedSize(110, 58);
        FremdspracheAktivLabel[k] = new QLabel(this);
        FremdspracheAktivLabel[k]->setObjectName(QStringLiteral("Fremdsprache%1AktivLabel").arg(k + 1));
        FremdspracheTab[k] = new QToolButton(this);
        FremdspracheTab[k]->setObjectName(QStringLiteral("Fremdsprache%1Tab").arg(k + 1));
        FremdspracheTab[k]->setProperty("Tag", k + 1);
        FremdspracheTab[k]->setFixedSize(110, 58);
        connect(FremdspracheTab[k], &QToolButton::clicked, this, [this, k] { FremdspracheTabClick(k + 1); });
    }
    SuchbegriffLabel = new QLabel(this);
    name(SuchbegriffLabel, "SuchbegriffLabel");
    SuchEditNeuBorderShape = new QFrame(this);
    name(SuchEditNeuBorderShape, "SuchEditNeuBorderShape");
    SuchEditNeuBorderShape->setFrameShape(QFrame::Box);
    SuchEditNeu = new QLineEdit(this);
    name(SuchEditNeu, "SuchEditNeu");
    SuchEditNeu->setFrame(false);
    SuchEditNeu->resize(250, 22);
    SuchenInLabel = new QLabel(this);
    name(SuchenInLabel, "SuchenInLabel");
    Suchsprache1Button = new QPushButton(this);
    name(Suchsprache1Button, "Suchsprache1Button");
    Suchsprache1Button->setProperty("Tag", 1);
    Suchsprache2Button = new QPushButton(this);
    name(Suchsprache2Button, "Suchsprache2Button");
    Suchsprache2Button->setProperty("Tag", 2);
    for (QPushButton* b : {Suchsprache1Button, Suchsprache2Button}) {
        b->resize(113, 24);
        connect(b, &QPushButton::clicked, this, [this, b] { SuchrichtungsButtonClick(Tag(b)); });
    }
    SuchergebnisLabel = new QLabel(this);
    name(SuchergebnisLabel, "SuchergebnisLabel");
    VertonungenTitelLabel = new QLabel(this);
    name(VertonungenTitelLabel, "VertonungenTitelLabel");
    Eintrag1Label = new QLabel(this);
    name(Eintrag1Label, "Eintrag1Label");
    Eintrag2Label = new QLabel(this);
    name(Eintrag2Label, "Eintrag2Label");
    for (QLabel* l : {Eintrag1Label, Eintrag2Label}) l->setFrameShape(QFrame::StyledPanel);
    auto knopf = [&](QPushButton*& b, const char* n, int w) {
        b = new QPushButton(this);
        name(b, n);
        b->resize(w, 24);
    };
    knopf(UmkehrsucheMMButton, "UmkehrsucheMMButton", 96);
    knopf(FilterMMButton, "FilterMMButton", 96);
    knopf(UebernahmeMMButton, "UebernahmeMMButton", 96);
    knopf(UmkehrMMButton, "UmkehrMMButton", 96);
    knopf(EingabeMMButton, "EingabeMMButton", 24);
    knopf(Sound1MMButton, "Sound1MMButton", 24);
    knopf(Sound2MMButton, "Sound2MMButton", 24);
    Sound1MMButton->setProperty("Tag", 1);
    Sound2MMButton->setProperty("Tag", 2);
    for (QPushButton* b : {Sound1MMButton, Sound2MMButton})
        b->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    // Controls the layouts never show; they exist for their handlers.
    UmkehrMMButton->hide();
    EingabeMMButton->hide();

    // Handlers.
    connect(EingabeButton, &QPushButton::clicked, this, &TWBuchDialog::MachSuche);
    connect(EingabeMMButton, &QPushButton::clicked, this, &TWBuchDialog::MachSuche);
    connect(SuchRegister, &QTabWidget::currentChanged, this, &TWBuchDialog::SuchRegisterChange);
    connect(Trefferlabel, &TKlickLabel::geklickt, this, &TWBuchDialog::TrefferlabelClick);
    // The entry labels follow every change of the marking (click, arrows, page keys), so that they never show
    // another entry than the one the commands act on.
    connect(ErgebnisListe, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) ZeigeMarkiertenEintrag();
    });
    connect(ErgebnisListe, &QListWidget::itemClicked, this, &TWBuchDialog::ZeigeMarkiertenEintrag);
    connect(ErgebnisListe, &TErgebnisListe::focusErhalten, this, &TWBuchDialog::ErgebnisListeEnter);
    auto details = [this] { Erweiterungen().details->Umkehrsuche(*this); };
    connect(ErgebnisListe, &QListWidget::itemDoubleClicked, this, details);
    for (QPushButton* b : {Detailbutton, UmkehrMMButton, UmkehrsucheMMButton})
        connect(b, &QPushButton::clicked, this, details);
    connect(FilterAnButton, &QPushButton::clicked, this, [this] { Erweiterungen().filter->FilterAnClick(*this); });
    connect(FilterMMButton, &QPushButton::clicked, this, [this] { Erweiterungen().filter->FilterMMClick(*this); });
    connect(FilterLabel, &TKlickLabel::geklickt, this, [this] { Erweiterungen().filter->FilterLabelClick(*this); });
    connect(FilterAusButton, &QPushButton::clicked, this,
            [this] { Erweiterungen().filter->FilterAusClick(*this); });
    connect(WPlaybutton, &QPushButton::clicked, this, [this] { Erweiterungen().sprache->Sprechen(*this, 2); });
    for (QPushButton* b : {Sound1MMButton, Sound2MMButton})
        connect(b, &QPushButton::clicked, this, [this, b] { Erweiterungen().sprache->Sprechen(*this, Tag(b)); });
    connect(UebernahmeMMButton, &QPushButton::clicked, this,
            [this] { Erweiterungen().trainer->Uebernehmen(*this); });
    connect(UebernehmenButton, &QPushButton::clicked, this,
            [this] { Erweiterungen().trainer->Uebernehmen(*this); });
    SuchEdit->installEventFilter(this);
    SuchEditNeu->installEventFilter(this);
    ErgebnisListe->installEventFilter(this);
    for (QLineEdit* e : {SuchEdit, SuchEditNeu})
        connect(e, &QLineEdit::textEdited, this, &TWBuchDialog::SuchEditKeyPress);
}

void TWBuchDialog::ErzeugeMenues() {
    auto aktion = [this](QMenu* m, const char* n) {
        QAction* a = m->addAction(QString());
        a->setObjectName(QString::fromLatin1(n));
        return a;
    };
    menupanel = new QMenuBar(this);
    menupanel->setObjectName(QStringLiteral("menupanel"));
    menupanel->setNativeMenuBar(false);
    MenueDatei = menupanel->addMenu(QString());
    MenueDatei->setObjectName(QStringLiteral("MenueDatei"));
    MenueWBOeffnen = aktion(MenueDatei, "MenueWBOeffnen");
    DateiTrenner = MenueDatei->addSeparator();
    DateiTrenner->setObjectName(QStringLiteral("DateiTrenner"));
    MenueProgrammBeenden = aktion(MenueDatei, "MenueProgrammBeenden");
    MenueExtras = menupanel->addMenu(QString());
    MenueExtras->setObjectName(QStringLiteral("MenueExtras"));
    ExtrasOptionen = aktion(MenueExtras, "ExtrasOptionen");
    MenueService = menupanel->addMenu(QString());
    MenueService->setObjectName(QStringLiteral("MenueService"));
    ServiceSerie = aktion(MenueService, "ServiceSerie");
    ServiceWBMeldungen = aktion(MenueService, "ServiceWBMeldungen");
    ServiceKontakt = aktion(MenueService, "ServiceKontakt");
    ServiceInternet = aktion(MenueService, "ServiceInternet");
    MenueHilfe = menupanel->addMenu(QString());
    MenueHilfe->setObjectName(QStringLiteral("MenueHilfe"));
    HilfeInhalt = aktion(MenueHilfe, "HilfeInhalt");
    HilfeInfo = aktion(MenueHilfe, "HilfeInfo");
    HilfeInhalt->setShortcut(Qt::Key_F1);
    ServiceSerie->setVisible(false);  // the series controls have no function and are never enabled

    PopupMenue = new QMenu(this);
    PopupMenue->setObjectName(QStringLiteral("PopupMenue"));
    PopSprachausgabe = aktion(PopupMenue, "PopSprachausgabe");
    PopUmkehrsuche = aktion(PopupMenue, "PopUmkehrsuche");
    PopUebernehmen = aktion(PopupMenue, "PopUebernehmen");
    PopKopieren = aktion(PopupMenue, "PopKopieren");
    ErgebnisListe->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ErgebnisListe, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenue->popup(ErgebnisListe->viewport()->mapToGlobal(p)); });

    TrayMenue = new QMenu(this);
    TrayMenue->setObjectName(QStringLiteral("TrayMenue"));
    TrayNachschlagen = aktion(TrayMenue, "TrayNachschlagen");
    TrayHotkey = aktion(TrayMenue, "TrayHotkey");
    TrayBeenden = aktion(TrayMenue, "TrayBeenden");

    connect(MenueWBOeffnen, &QAction::triggered, this, &TWBuchDialog::WechsleWoerterbuch);
    connect(MenueProgrammBeenden, &QAction::triggered, this, &QWidget::close);
    connect(ExtrasOptionen, &QAction::triggered, this, [this] { Erweiterungen().optionen->OptionenAnwenden(*this); });
    connect(HilfeInhalt, &QAction::triggered, this, [] { Erweiterungen().online->HilfeInhalt(); });
    connect(HilfeInfo, &QAction::triggered, this, [this] {
        Erweiterungen().online->Info(*this);
        if (QLineEdit* e = AktivesSuchfeld()) e->setFocus();
    });
    connect(ServiceSerie, &QAction::triggered, this, [this] { Erweiterungen().online->Serie(*this); });
    connect(ServiceWBMeldungen, &QAction::triggered, this, [this] { Erweiterungen().online->WBMeldungen(*this); });
    connect(ServiceKontakt, &QAction::triggered, this, [this] { Erweiterungen().online->Kontakt(*this); });
    connect(ServiceInternet, &QAction::triggered, this, [this] { Erweiterungen().online->Internet(*this); });
    connect(PopSprachausgabe, &QAction::triggered, this, [this] { Erweiterungen().sprache->Sprechen(*this, 2); });
    connect(PopUmkehrsuche, &QAction::triggered, this, [this] { Erweiterungen().details->Umkehrsuche(*this); });
    connect(PopUebernehmen, &QAction::triggered, this, [this] { Erweiterungen().trainer->Uebernehmen(*this); });
    connect(PopKopieren, &QAction::triggered, this, [this] { Erweiterungen().details->Kopieren(*this); });
    // The popup's keys act while the hit list has the focus; F12 is the window's own key.
    PopSprachausgabe->setShortcut(Qt::Key_F12);
    PopUmkehrsuche->setShortcut(Qt::CTRL | Qt::Key_U);
    PopKopieren->setShortcut(Qt::CTRL | Qt::Key_C);
    for (QAction* a : {PopSprachausgabe, PopUmkehrsuche, PopKopieren}) a->setShortcutContext(Qt::WidgetShortcut);
    ErgebnisListe->addActions({PopUmkehrsuche, PopKopieren});
    connect(TrayNachschlagen, &QAction::triggered, this, [this] { ZeigeFenster(0); });
    connect(TrayBeenden, &QAction::triggered, this, [this] {
        if (Startzustand().fensterSichtbar) {
            raise();
            activateWindow();
        } else {
            Startzustand().trayBeenden = true;
            close();
        }
    });
}

// Controls of a subsystem that has not been installed stay disabled.
void TWBuchDialog::AktualisiereErweiterungen() {
    const TErweiterungen& x = Erweiterungen();
    const bool neu = Startzustand().mehrsprachig;
    FilterAnButton->setEnabled(!neu && x.filter->Vorhanden());
    FilterAusButton->setEnabled(!neu && x.filter->Vorhanden());
    FilterMMButton->setEnabled(neu && x.filter->Vorhanden());
    Detailbutton->setEnabled(!neu && x.details->Vorhanden());
    UmkehrsucheMMButton->setEnabled(neu && x.details->Vorhanden());
    PopUmkehrsuche->setEnabled(x.details->Vorhanden());
    WPlaybutton->setEnabled(!neu && x.sprache->Vorhanden() && daten_.TonFremdsprache);
    Sound1MMButton->setEnabled(neu && x.sprache->Vorhanden());
    Sound2MMButton->setEnabled(neu && x.sprache->Vorhanden());
    PopSprachausgabe->setEnabled(x.sprache->Vorhanden());
    UebernahmeMMButton->setEnabled(neu && x.trainer->Vorhanden());
    PopUebernehmen->setEnabled(neu && x.trainer->Vorhanden());
    ExtrasOptionen->setEnabled(x.optionen->Vorhanden());
    const bool online = x.online->Vorhanden();
    for (QAction* a : {ServiceWBMeldungen, ServiceKontakt, ServiceInternet, HilfeInfo}) a->setEnabled(online);
    ServiceSerie->setEnabled(false);
    HilfeInhalt->setEnabled(x.online->Hilfe());
    TrayHotkey->setEnabled(x.desktop->Vorhanden());
    x.filter->FilterStatusAnwenden(*this);
}

void TWBuchDialog::WaehleLayout() {
    const bool neu = Startzustand().mehrsprachig;
    for (QWidget* w : std::initializer_list<QWidget*>{Edge, SuchRegister, EingabePanel, EingabeButton, WPlaybutton,
                                                       Detailbutton, FilterAnButton, FilterAusButton}) {
        w->setVisible(!neu);
        w->setEnabled(!neu);
    }
    MenueWBOeffnen->setVisible(!neu);
    MenueWBOeffnen->setEnabled(!neu);
    DateiTrenner->setVisible(!neu);
    std::vector<QWidget*> multi = {HintergrundShape,   VerlaufImage,       MutterspracheTitelLabel,
                                   MutterspracheLabel, MutterspracheImage, FremdspracheTitelLabel,
                                   SuchEditNeuBorderShape, SuchbegriffLabel, SuchenInLabel,
                                   SuchEditNeu,        Suchsprache1Button, Suchsprache2Button,
                                   SuchergebnisLabel,  Eintrag1Label,      Eintrag2Label,
                                   VertonungenTitelLabel, UmkehrsucheMMButton, FilterMMButton,
                                   UebernahmeMMButton, Sound1MMButton,     Sound2MMButton};
    for (int k = 0; k < 5; ++k) {
        multi.push_back(FremdspracheImage[k]);
        multi.push_back(FremdspracheAktivLabel[k]);
        multi.push_back(FremdspracheTab[k]);
    }
    for (QWidget* w : multi) {
        w->setVisible(neu);
        w->setEnabled(neu);
    }
    PopUebernehmen->setVisible(neu);
    PopUebernehmen->setEnabled(neu);
    UebernehmenButton->hide();
    UebernehmenButton->setEnabled(false);
    // The series buttons have no function: the classic one stays disabled, its twin hidden.
    InfoButton->setVisible(!neu);
    InfoButton->setEnabled(false);
    InfoMMButton->hide();
    InfoMMButton->setEnabled(false);
    // The background lies below everything else.
    VerlaufImage->lower();
    HintergrundShape->lower();
    AktualisiereErweiterungen();
}

void TWBuchDialog::TexteSetzen() {
    const QString titel = KTextZanit(98001, "&#-Wörterbuch");
    setWindowTitle(titel);
    Erweiterungen().desktop->TrayHinweis(titel);
    ErgebnisListe->SetzeKopftext(2, KText(103, "Wortart"));
    EingabeButton->setToolTip(KText(30010, "Suche starten"));
    WPlaybutton->setText(KText(3032, "Sp&rache"));
    WPlaybutton->setToolTip(KText(3035, "Sprachausgabe") + QStringLiteral(" (F12)"));
    Detailbutton->setText(KText(30015, "&Umkehr"));
    const QString umkehr = KText(30016, "Differenzierte Umkehrsuche zum markierten Eintrag");
    Detailbutton->setToolTip(umkehr);
    UmkehrsucheMMButton->setToolTip(umkehr);
    UebernehmenButton->setText(KText(30019, "&Trainieren"));
    InfoButton->setText(KText(3049, "&Info"));
    InfoButton->setToolTip(KTextZanit(98010, "Die Produkte der &#-Serie"));
    const QString uebernahme = KText(30017, "Den markierten Eintrag in eine Vokabelsammlung übernehmen");
    UebernehmenButton->setToolTip(uebernahme);
    UebernahmeMMButton->setToolTip(uebernahme);
    FilterAnButton->setText(KText(3005, "Filter &an"));
    FilterAnButton->setToolTip(KText(30011, "Nur Einträge einer bestimmten Wortart anzeigen"));
    FilterAusButton->setText(KText(3006, "Filter au&s"));
    FilterAusButton->setToolTip(KText(30012, "Wortart-Filter aufheben"));
    MutterspracheTitelLabel->setText(KText(112, "Muttersprache"));
    FremdspracheTitelLabel->setText(KText(113, "Fremdsprache"));
    SuchbegriffLabel->setText(KText(98023, "Suchbegriff"));
    SuchenInLabel->setText(KText(98024, "Suchen in"));
    SuchergebnisLabel->setText(KText(98025, "Suchergebnis"));
    VertonungenTitelLabel->setText(KText(98026, "Vertonung des markierten Eintrags"));
    // Without their pictures the buttons of the multi-language layout show the matching menu texts.
    UmkehrsucheMMButton->setText(KText(3046, "Umkehrsuche"));
    FilterMMButton->setText(KText(3005, "Filter &an"));
    UebernahmeMMButton->setText(KText(3096, "Eintrag trainieren"));

    QString datei = KText(8120, "&Datei");
    // The German accelerator rule belongs to the letters D and blank only; any other letter keeps the text
    // as it is, also when it has no catalogue and the German text shows.
    const char letter = Katalog().GewaehlterBuchstabe();
    if (letter == 'D' || letter == ' ') {
        datei.remove(QChar('&'));
        if (datei.size() > 1) datei.insert(1, QChar('&'));
    }
    MenueDatei->setTitle(datei);
    MenueWBOeffnen->setText(KText(8259, "&Wörterbuch wechseln"));
    MenueProgrammBeenden->setText(KText(8260, "Programm &beenden"));
    MenueExtras->setTitle(KText(8200, "E&xtras"));
    ExtrasOptionen->setText(KText(8201, "&Optionen"));
    MenueService->setTitle(KText(8254, "&Service"));
    ServiceSerie->setText(KTextZanit(8258, "&Die &#-Serie"));
    ServiceWBMeldungen->setText(KText(8261, "&Wörterbuch-Meldungen"));
    ServiceKontakt->setText(KText(8262, "&Kontakt"));
    ServiceInternet->setText(KTextZanit(8252, "&# im In&ternet"));
    MenueHilfe->setTitle(KText(8250, "&Hilfe"));
    HilfeInhalt->setText(KText(8251, "&Inhalt"));
    HilfeInfo->setText(KText(8257, "I&nfo"));
    PopSprachausgabe->setText(KText(3035, "Sprachausgabe"));
    PopUmkehrsuche->setText(KText(3046, "Umkehrsuche"));
    PopUebernehmen->setText(KText(3096, "Eintrag trainieren"));
    PopKopieren->setText(KText(3050, "Übersetzung kopieren"));
    TrayNachschlagen->setText(KText(3051, "&Nachschlagen"));
    TrayBeenden->setText(KText(8133, "&Beenden"));
    keineSuche_ = KText(98020, "keine Suche gestartet");
    if (ErgebnisListe->count() > 0) ZeigeTrefferzahl(treffer_.Trefferzahl, treffer_.Zeilenzahl);
    else Trefferlabel->setText(keineSuche_);
    keineAuswahl_ = KText(3029, "(keine Auswahl)");
    // The language tabs carry names from the catalogue too.
    if (Startzustand().mehrsprachig && !woerterbuecher_->Liste.empty()) ZeigeSprachreiter();
    Erweiterungen().filter->FilterStatusAnwenden(*this);
}

}  // namespace zanit
