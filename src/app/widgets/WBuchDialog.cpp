#include "app/widgets/WBuchDialog.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <tuple>
#include <utility>

#include "base/Einstellungen.h"
#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "base/Utils.h"
#include "app/widgets/Anwendung.h"
#include "app/widgets/EinzelInstanz.h"
#include "app/widgets/Erweiterungen.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/MeldungDialog.h"
#include "ui/widgets/Unicode.h"
#include "data/Woerterbuecher.h"
#include "data/widgets/WBAuswahlDialog.h"
#include "search/Suchbegriff.h"
#include "search/Suche.h"
#include "search/widgets/ErgebnisListe.h"

namespace zanit {
namespace {

constexpr int kStandardBreite = 600;
constexpr int kStandardHoehe = 435;

const char* const kProdukt = "zanit";

int Rechts(const QWidget* w) { return w->x() + w->width(); }
void Setzen(QWidget* w, const Flaeche& f) { w->setGeometry(f.x, f.y, f.breite, f.hoehe); }

std::string Grossbuchstaben(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The folder of a path spelled with "\" or "/", upper case, with a trailing separator: stored and real
// program folders compare in this form.
std::string Vergleichsordner(std::string s) {
    for (char& c : s)
        if (c == '\\') c = '/';
    s = Grossbuchstaben(s);
    if (!s.empty() && s.back() != '/') s += '/';
    return s;
}

QString Hive() {
    const QString env = qEnvironmentVariable("ZANIT_REGISTRY");
    return env.isEmpty() ? QStringLiteral("/etc/zanit/machine.reg") : env;
}

}  // namespace

void TKlickLabel::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    emit geklickt();
}

// ---------------------------------------------------------------------------------------------------------
// Creation

TWBuchDialog::TWBuchDialog(TDatendialog& daten, const QStringList& arguments, QWidget* parent)
    : QWidget(parent),
      daten_(daten),
      argumente_(arguments),
      woerterbuecher_(std::make_unique<TWoerterbuecher>(daten)),
      suche_(std::make_unique<TSuche>(daten, *woerterbuecher_)) {
    setObjectName(QStringLiteral("WBuchDialog"));
    setMinimumSize(240, 60);
    ErzeugeSteuerelemente();
    ErzeugeMenues();

    TastenTimer = new QTimer(this);
    TastenTimer->setObjectName(QStringLiteral("TastenTimer"));
    TastenTimer->setSingleShot(true);
    connect(TastenTimer, &QTimer::timeout, this, &TWBuchDialog::TastenTimerTimer);
    StartTimer = new QTimer(this);
    StartTimer->setObjectName(QStringLiteral("StartTimer"));
    StartTimer->setSingleShot(true);
    StartTimer->setInterval(10);
    connect(StartTimer, &QTimer::timeout, this, &TWBuchDialog::StartTimerTimer);

    // The walk lets typing through: a key press sets the abort flag and the walk ends.
    suche_->NachrichtenVerarbeiten = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
    daten_.SetzeWartecursorAnzeige(this);
}

TWBuchDialog::~TWBuchDialog() {
    daten_.SetzeWartecursorAnzeige(nullptr);
    if (katalogBeobachter_) Katalog().EntferneBeobachter(katalogBeobachter_);
    qApp->removeEventFilter(this);
    if (Meldungsdialog() == meldung_) SetzeMeldungsdialog(nullptr);
}

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

// ---------------------------------------------------------------------------------------------------------
// Start

bool TWBuchDialog::FormCreate() {
    TStartzustand& st = Startzustand();
    // 1. Command line: parameters 1..10, lower case, joined.
    st.beenden = false;
    QString joined;
    for (int i = 1; i <= 10 && i < argumente_.size(); ++i) joined += argumente_.at(i).toLower();
    st.service = joined.contains(QStringLiteral("service"));
    st.mehrsprachig = joined.contains(QStringLiteral("newservice"));
    st.infoNummer = joined.contains(QStringLiteral("noinfo")) ? 999 : 0;

    // 3. Titles.
    QApplication::setApplicationName(QStringLiteral("zanit WB"));

    // 4. Single instance.
    einzelInstanz_ = std::make_unique<TEinzelInstanz>(Hive());
    if (einzelInstanz_->AndereInstanzGefunden()) {
        st.beenden = true;
        zweiteInstanz_ = true;
        move(-width() - 1, -height() - 1);
        return false;
    }
    connect(einzelInstanz_.get(), &TEinzelInstanz::Wiederherstellen, this, &TWBuchDialog::Wiederherstellen);

    // 5. Start state.
    st.trayBeenden = false;
    Erweiterungen().sprache->LaufwerkeAktualisieren();
    st.einmalGezeigt = false;
    st.fensterSichtbar = false;
    qApp->installEventFilter(this);  // the form previews keys
    qApp->installEventFilter(new TAppMessage(this));
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TWBuchDialog::AppIdle);
    AppIdle();
    st.tonGeraet = Erweiterungen().sprache->Vorhanden();
    st.farbtiefe = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->depth() : 24;
    setProperty("Tag", kHauptfensterTag);
    woerterbuecher_->Index = -1;
    abschnittIndex_ = -1;

    // 6. Layout.
    WaehleLayout();

    // 7. The message dialog.
    meldung_ = new TMeldungDialog(this);
    SetzeMeldungsdialog(meldung_);

    // 8. Settings, dialog language.
    katalogBeobachter_ = Katalog().BeiKatalogwechsel([this] { TexteSetzen(); });
    LeseEinstellungen();

    // 9., 10. Trainer, legacy keys.
    Erweiterungen().trainer->TrainerErkennen();
    AlteSchluesselEntfernen();

    // 11. Bitmap lists and skin.
    if (st.mehrsprachig) Erweiterungen().skin->BitmaplistenLaden(*this);
    Erweiterungen().skin->LadeSkin(*this, 1);

    // 12. Placement.
    PlatziereFenster();

    // 13. Installation check.
    const std::string exeFolder = Vergleichsordner(OrdnerDerAnwendung());
    if (Vergleichsordner(werte_.Program) != exeFolder || werte_.CD.empty()) {
        Systemmeldung(QStringLiteral("Der Registry-Eintrag des Programms ist nicht vollständig. Installieren Sie ") +
                          QString::fromLatin1(kProdukt) + QStringLiteral(" erneut!") + QStringLiteral("\r\r") +
                          QStringLiteral("Registry entries have been damaged or removed. Please reinstall the program."),
                      QStringLiteral("zanit WB"));
        st.beenden = true;
        return false;
    }

    // 14. Dictionary list and the first dictionary.
    if (!OeffneErstesWoerterbuch()) {
        st.beenden = true;
        return false;
    }

    // 15. Show or park for the tray.
    SetzeKopfzeile(true);
    SchriftAnwenden();
    bool autostart = false;
    for (int i = 1; i < argumente_.size(); ++i)
        if (argumente_.at(i).toUpper().contains(QStringLiteral("AUTOSTART"))) autostart = true;
    if (werte_.Tray || autostart) {
        st.gemerktLinks = x();
        st.gemerktOben = y();
        move(-width() - 1, -height() - 1);
        StartTimer->start();
    } else {
        ZeigeFenster(0);
    }
    return true;
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

QLineEdit* TWBuchDialog::AktivesSuchfeld() const {
    return Startzustand().mehrsprachig ? SuchEditNeu : SuchEdit;
}

void TWBuchDialog::LeseEinstellungen() {
    werte_ = EinstellungenLesen();
    gelesen_ = werte_;
    const Einstellungen& e = werte_;
    suchrichtung_ = std::clamp(e.Part, 1, 2);
    {
        const QSignalBlocker block(SuchRegister);
        SuchRegister->setCurrentIndex(suchrichtung_ - 1);
    }
    suche_->Richtung = suchrichtung_;
    suche_->LatGen = e.LatGen;
    Erweiterungen().desktop->ZeigeFenster = [this](int direction) { ZeigeFenster(direction); };
    Erweiterungen().desktop->Einrichten(*this);
    Startzustand().programmordner = Grossbuchstaben(MitBackslash(e.Program));
    Startzustand().cdPfad = Grossbuchstaben(MitBackslash(e.CD));
    Katalog().SetzeProgrammordner(e.Program);
    dialogbuchstabe_ = e.GLC;
    KatalogOeffnen(dialogbuchstabe_);
    TexteSetzen();  // also when the catalogue stayed German
}

void TWBuchDialog::PlatziereFenster() {
    const Einstellungen& e = werte_;
    const Fensterrechteck screen = BildschirmRechteck();
    if (e.PV == 1) {
        resize(kStandardBreite, kStandardHoehe);
        setWindowState(windowState() | Qt::WindowMaximized);
    } else if (PlatzierungPasst(e, screen.width, screen.height)) {
        move(e.PX, e.PY);
        resize(e.PW, e.PH);
    } else {
        resize(kStandardBreite, kStandardHoehe);
        move((screen.width - kStandardBreite) / 2, (screen.height - kStandardHoehe) / 2);
    }
}

bool TWBuchDialog::OeffneErstesWoerterbuch() {
    TWoerterbuecher& wb = *woerterbuecher_;
    wb.Mehrsprachig = Startzustand().mehrsprachig;
    wb.CDPfad = werte_.CD;
    const std::string& abschnitt = werte_.Section;
    if (!Startzustand().mehrsprachig) {
        const int found = wb.LeseWoerterbuchliste(abschnitt);
        if (wb.Liste.empty()) {
            Meldungsfenster(KText(98050, "Es ist kein Wörterbuch installiert!"), KText(5007, "Problem"), 1, true,
                            false);
            return false;
        }
        abschnittIndex_ = found;
        const int n = (found >= 0 && found < static_cast<int>(wb.Liste.size())) ? found : 0;
        return OeffneBeimStart(n);
    }
    wb.BeiSprachwechsel = [this] {
        Erweiterungen().filter->FilterZuruecksetzen();
        Erweiterungen().filter->FilterStatusAnwenden(*this);
    };
    const int position = wb.LeseSprachenliste(abschnitt, dialogbuchstabe_);
    if (wb.Liste.empty()) {
        Meldungsfenster(KText(98050, "Es ist kein Wörterbuch installiert!"), KText(5007, "Problem"), 1, true,
                        false);
        return false;
    }
    const int count = static_cast<int>(wb.Liste.size());
    aktuellePosition_ = (position >= 1 && position <= count) ? position : 1;
    ZeigeSprachreiter();
    return OeffneBeimStart(aktuellePosition_ - 1);
}

// The first dictionary of a start: when its table fails to open the start ends, but the user learns why and
// the log keeps the file and the cause.
bool TWBuchDialog::OeffneBeimStart(int n) {
    if (Oeffne(n)) return true;
    const QString fehler = QString::fromUtf8(woerterbuecher_->Fehler);
    if (fehler.isEmpty()) return false;
    TWBApplication::Protokollieren(QStringLiteral("Wörterbuch"), fehler);
    Meldungsfenster(ZuUnicode(KatalogTextMitArgumenten(30121, "Das Wörterbuch konnte nicht gelesen werden: &#",
                                                       ZuCp1252(fehler))),
                    KText(5007, "Problem"), 3, true, false);
    return false;
}

bool TWBuchDialog::Oeffne(int n, bool wechsel) {
    TWoerterbuecher& wb = *woerterbuecher_;
    const bool ok = Startzustand().mehrsprachig ? wb.OeffneSprache(n)
                    : wechsel                   ? wb.OeffneAlsWechsel(n)
                                                : wb.OeffneWoerterbuch(n);
    Erweiterungen().trainer->WoerterbuchGeoeffnet();
    NachWoerterbuchOeffnen();
    return ok;
}

// What the window shows of a newly opened dictionary: the speech button and the two search tabs.
void TWBuchDialog::NachWoerterbuchOeffnen() {
    const TWoerterbuecher& wb = *woerterbuecher_;
    AktualisiereErweiterungen();
    if (Startzustand().mehrsprachig) return;
    SuchRegister->setTabText(0, ZuUnicode("&" + wb.TextM));
    SuchRegister->setTabText(1, ZuUnicode(ZweiterReitertext(wb.TextM, wb.TextF)));
}

// ---------------------------------------------------------------------------------------------------------
// Texts

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

// ---------------------------------------------------------------------------------------------------------
// Showing, hiding, closing

void TWBuchDialog::ZeigeFenster(int direction) {
    Startzustand().fensterSichtbar = true;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    QLineEdit* e = AktivesSuchfeld();
    if (direction == 0) {
        e->clear();
        if (e->isVisible()) e->setFocus(Qt::OtherFocusReason);
        return;
    }
    // A lookup of the text another program put on the clipboard, in the given direction.
    const QString text = Erweiterungen().desktop->Zwischenablagentext();
    if (text.isEmpty()) return;
    if (!Startzustand().mehrsprachig) {
        suchrichtung_ = direction == 2 ? 2 : 1;
        const QSignalBlocker block(SuchRegister);
        SuchRegister->setCurrentIndex(suchrichtung_ - 1);
    } else if (suchrichtung_ != direction) {
        WechsleSuchrichtung();
    }
    e->setText(text);
    MachSuche();
}

void TWBuchDialog::Wiederherstellen() {
    // A later start asked for this window: restore it and bring it to the front.
    if (!isVisible()) {
        ZeigeFenster(0);
    } else {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        raise();
        activateWindow();
    }
    if (!qEnvironmentVariableIsEmpty("ZANIT_MELDUNGSPROTOKOLL"))
        MeldungProtokollieren(QStringLiteral("Wiederhergestellt"), windowTitle());
}

void TWBuchDialog::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TWBuchDialog::FormShow() {
    TStartzustand& st = Startzustand();
    if (st.mehrsprachig) {
        FaerbeDialog(this);
        PlatziereSprachreiter();
        ZeigeSprachreiter();
        RichtungsknoepfeAnzeigen();
    }
    if (st.infoNummer != 999) {
        st.infoNummer = werte_.InfoID;
        Erweiterungen().online->StartPruefung(*this);
    }
    if (st.beenden) return;
    Erweiterungen().desktop->HotkeyStatusAnwenden(*this);
    TrayHotkey->setText(Erweiterungen().desktop->HotkeysAktiv() ? KText(98012, "&Hotkeys deaktivieren")
                                                                : KText(98011, "&Hotkeys aktivieren"));
    ErgebnisListe->clear();
    treffer_.Leeren();
    treffer_.Trefferzahl = 0;
    treffer_.Zeilenzahl = 0;
    Eintrag1Label->setText(keineAuswahl_);
    Eintrag2Label->setText(keineAuswahl_);
    Trefferlabel->setText(keineSuche_);
    Erweiterungen().filter->FilterZuruecksetzen();
    if (st.mehrsprachig) MachResizeNeu();
    else MachResize();
    st.einmalGezeigt = true;
    Erweiterungen().filter->FilterStatusAnwenden(*this);
    if (QLineEdit* edit = AktivesSuchfeld(); edit && edit->isVisible()) edit->setFocus(Qt::OtherFocusReason);
}

void TWBuchDialog::StartTimerTimer() {
    StartTimer->stop();
    TStartzustand& st = Startzustand();
    if (Erweiterungen().desktop->TrayVerfuegbar()) {
        Erweiterungen().desktop->InsTray(*this);
        st.fensterSichtbar = false;
        hide();
    } else {
        // Without a tray the window goes to the task bar, never out of reach.
        show();
        showMinimized();
        st.fensterSichtbar = true;
    }
    move(st.gemerktLinks, st.gemerktOben);
}

void TWBuchDialog::FensterPositionMerken() {
    if (!isVisible()) return;
    Einstellungen& e = werte_;
    const bool maximised = windowState() & Qt::WindowMaximized;
    e.PX = x();
    e.PY = y();
    e.PW = width();
    e.PH = height();
    e.PV = maximised ? 1 : 0;
}

void TWBuchDialog::changeEvent(QEvent* e) {
    // Minimising stores the placement, as of the moment before.
    if (e->type() == QEvent::WindowStateChange) {
        auto* sc = static_cast<QWindowStateChangeEvent*>(e);
        if ((windowState() & Qt::WindowMinimized) && !(sc->oldState() & Qt::WindowMinimized) &&
            Startzustand().fensterSichtbar)
            FensterPositionMerken();
    }
    QWidget::changeEvent(e);
}

void TWBuchDialog::closeEvent(QCloseEvent* e) {
    if (geschlossen_) {
        e->accept();
        return;
    }
    TStartzustand& st = Startzustand();
    FensterPositionMerken();
    if (werte_.Save && !st.trayBeenden) {
        bool cancelled = false, endCheck = false;
        if (Erweiterungen().optionen->SaveHinweis(*this, cancelled, endCheck)) {
            werte_.Save = !endCheck;
            if (cancelled) {
                e->ignore();
                return;
            }
        }
    }
    st.fensterSichtbar = false;
    EinstellungenSichern();

    Erweiterungen().desktop->Freigeben();
    if (Meldungsdialog() == meldung_) SetzeMeldungsdialog(nullptr);
    delete meldung_;
    meldung_ = nullptr;
    daten_.BuchDatei.Close();
    Erweiterungen().sprache->TabellenSchliessen();
    if (st.infoNummer != 999) Erweiterungen().online->BildZeigen(*this);
    geschlossen_ = true;
    e->accept();
}

bool TWBuchDialog::EinstellungenSichern() {
    werte_.Part = suchrichtung_;
    werte_.GLC = dialogbuchstabe_;
    Erweiterungen().desktop->NachSchliessen(werte_);
    const std::string abschnitt = woerterbuecher_->Abschnitt();
    const bool ok = EinstellungenSpeichern(werte_, abschnitt.empty() ? std::nullopt : std::optional<std::string_view>(abschnitt),
                                           ZuCp1252(QCoreApplication::applicationFilePath()), &gelesen_);
    if (!ok)
        TWBApplication::Protokollieren(QStringLiteral("Einstellungen"),
                                       QStringLiteral("Die Einstellungen konnten nicht gespeichert werden."));
    if (ok) gelesen_ = werte_;  // what is stored now
    return ok;
}

void TWBuchDialog::AppIdle() {
    if (isVisible()) Startzustand().fensterCache = Rechteck(this);
}

void TWBuchDialog::SetzeWartecursor(bool on) {
    if (on) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        ++wartecursorTiefe_;
    } else if (wartecursorTiefe_ > 0) {
        QGuiApplication::restoreOverrideCursor();
        --wartecursorTiefe_;
    }
}

void TWBuchDialog::TrefferlabelClick() {
    if (!Startzustand().service) return;
    suche_->Klammerentfernung = !suche_->Klammerentfernung;
}

// ---------------------------------------------------------------------------------------------------------
// Search

void TWBuchDialog::SetzeKopfzeile(bool withWidths) {
    const TWoerterbuecher& wb = *woerterbuecher_;
    const std::string& quelle = suchrichtung_ == 1 ? wb.TextM : wb.TextF;
    const std::string& ziel = suchrichtung_ == 1 ? wb.TextF : wb.TextM;
    ErgebnisListe->SetzeKopftext(0, ZuUnicode(quelle));
    ErgebnisListe->SetzeKopftext(1, ZuUnicode(ziel));
    if (withWidths) {
        const int rest = (ErgebnisListe->width() - wortartBreite_) / 3;
        ErgebnisListe->SetzeSpaltenbreite(0, rest);
        ErgebnisListe->SetzeSpaltenbreite(1, rest * 2);
        ErgebnisListe->SetzeSpaltenbreite(2, wortartBreite_ + 5);
    }
}

void TWBuchDialog::ZeigeTrefferzahl(int hits, int lines) {
    suche_->Wortartfilter = Erweiterungen().filter->Filter();
    Trefferlabel->setText(ZuUnicode(suche_->ZeigeTrefferzahl(hits, lines)));
}

void TWBuchDialog::ZeigeMarkiertenEintrag() {
    const int row = ErgebnisListe->currentRow();
    if (row < 0 || row >= ErgebnisListe->count()) {
        Eintrag1Label->clear();
        Eintrag2Label->clear();
        return;
    }
    const QString line = ErgebnisListe->Zeile(row);
    Eintrag1Label->setText(TErgebnisListe::Spalte(line, 0));
    Eintrag2Label->setText(TErgebnisListe::Spalte(line, 1));
}

// Runs the walk and shows its lines; the list's screen updates are suspended by the callers.
void TWBuchDialog::FuelleListe(const std::string& text, bool correct, bool incremental) {
    Eintrag1Label->setText(keineAuswahl_);
    Eintrag2Label->setText(keineAuswahl_);
    ErgebnisListe->clear();
    suche_->Wortartfilter = Erweiterungen().filter->Filter();
    suche_->Richtung = suchrichtung_;
    letztesErgebnis_ = suche_->FuelleTrefferliste(treffer_, text, correct, incremental, suchrichtung_);
    ListeAnzeigen();
    if (correct && letztesErgebnis_.korrigiert) {
        QLineEdit* edit = AktivesSuchfeld();
        edit->setText(ZuUnicode(letztesErgebnis_.suchfeld));
        edit->selectAll();
    }
}

void TWBuchDialog::ListeAnzeigen() {
    ErgebnisListe->clear();
    for (std::size_t i = 0; i < treffer_.Anzahl(); ++i)
        ErgebnisListe->ZeileHinzufuegen(ZuUnicode(treffer_.Text(i)), treffer_.Wortart(i));
}

void TWBuchDialog::MachSuche() {
    if (NachDemLauf([this] { MachSuche(); })) return;
    TastenTimer->stop();
    Trefferlabel->setText(keineSuche_);
    QLineEdit* edit = AktivesSuchfeld();
    const QString text = edit->text().trimmed();
    SetzeKopfzeile(false);
    if (!text.isEmpty()) {
        ErgebnisListe->setUpdatesEnabled(false);
        FuelleListe(ZuCp1252(text), true, false);
        suche_->LetzteSucheInkrementell = false;
        ZeigeTrefferzahl(treffer_.Trefferzahl, treffer_.Zeilenzahl);
        ErgebnisListe->setUpdatesEnabled(true);
        if (letztesErgebnis_.status != Suchstatus::Ok) {
            Meldungsfenster(ZuUnicode(suche_->Meldungstext(letztesErgebnis_)), KText(5007, "Problem"), 3, true,
                            false);
        } else if (treffer_.Trefferzahl == 0) {
            Meldungsfenster(KText(30103, "Ihre Eingabe trifft auf keinen Wörterbucheintrag zu."),
                            KText(5006, "Hinweis"), 1, true, false);
        }
        edit->selectAll();
    }
    if (Startzustand().fensterSichtbar) {
        if (ErgebnisListe->count() > 0) {
            ErgebnisListe->setCurrentRow(0);
            ZeigeMarkiertenEintrag();
        }
        edit->setFocus(Qt::OtherFocusReason);
    }
}

void TWBuchDialog::FilterSuche(bool inkrementell) {
    if (NachDemLauf([this, inkrementell] { FilterSuche(inkrementell); })) return;
    ErgebnisListe->setUpdatesEnabled(false);
    inkrementellerLauf_ = inkrementell;
    FuelleListe(ZuCp1252(AktivesSuchfeld()->text().trimmed()), !inkrementell, inkrementell);
    inkrementellerLauf_ = false;
    ErgebnisListe->setUpdatesEnabled(true);
    if (!Trefferlabel->text().isEmpty()) ZeigeTrefferzahl(treffer_.Trefferzahl, treffer_.Zeilenzahl);
    for (const auto& action : std::exchange(nachDemLauf_, {})) action();
}

bool TWBuchDialog::NachDemLauf(std::function<void()> action) {
    if (!inkrementellerLauf_) return false;
    suche_->Abbruch = true;
    nachDemLauf_.push_back(std::move(action));
    return true;
}

void TWBuchDialog::TastenTimerTimer() {
    TastenTimer->stop();
    if (NachDemLauf([this] { TastenTimerTimer(); })) return;
    Trefferlabel->clear();
    QLineEdit* edit = AktivesSuchfeld();
    // The key of the language searched now: after a change of direction, tab or dictionary no walk may have
    // run yet, and the folding rules of Spanish and Swedish differ from the others.
    const std::string key = Suchschluessel(ZuCp1252(edit->text()), suche_->QuellspracheFuer(suchrichtung_));
    if (key.empty() || key == letzterInkrementellerSchluessel_) return;
    letzterInkrementellerSchluessel_ = key;
    ErgebnisListe->setUpdatesEnabled(false);
    SetzeKopfzeile(false);
    inkrementellerLauf_ = true;
    FuelleListe(key, true, true);
    inkrementellerLauf_ = false;
    suche_->LetzteSucheInkrementell = true;
    ErgebnisListe->setUpdatesEnabled(true);
    // What came in during the walk runs now, in order, on the table the walk left alone.
    if (!nachDemLauf_.empty()) {
        const std::vector<std::function<void()>> pending = std::exchange(nachDemLauf_, {});
        for (const auto& action : pending) action();
        return;
    }
    if (isVisible()) edit->setFocus(Qt::OtherFocusReason);
}

// Any key in the search edit; true when the key is swallowed.
bool TWBuchDialog::SuchEditKeyDown(QKeyEvent* e) {
    TastenTimer->stop();
    suche_->Abbruch = true;
    const int count = ErgebnisListe->count();
    const int row = ErgebnisListe->currentRow();
    if (e->key() == Qt::Key_Up) {
        if (count > 0 && row > 0) {
            ErgebnisListe->setCurrentRow(row - 1);
            ZeigeMarkiertenEintrag();
            return true;
        }
    } else if (e->key() == Qt::Key_Down) {
        if (count > 0 && row < count - 1) {
            ErgebnisListe->setCurrentRow(row < 0 ? 0 : row + 1);
            ZeigeMarkiertenEintrag();
            return true;
        }
    }
    return false;
}

void TWBuchDialog::SuchEditKeyPress() {
    if (!werte_.Seek) return;
    TastenTimer->setInterval(std::max(0, werte_.Interval));
    TastenTimer->start();
}

void TWBuchDialog::FormKeyDown(QKeyEvent* e) {
    if (e->key() == Qt::Key_F24) {
        MachSuche();
    } else if (e->key() == Qt::Key_F12) {
        if (Erweiterungen().sprache->Vorhanden()) Erweiterungen().sprache->Sprechen(*this, 2);
    }
}

void TWBuchDialog::ErgebnisListeEnter() {
    if (ErgebnisListe->count() == 0)
        if (QLineEdit* edit = AktivesSuchfeld(); edit && edit->isVisible()) edit->setFocus(Qt::OtherFocusReason);
}

bool TWBuchDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        // The form previews every key of its controls once, at the control that has it first.
        if (widget && widget->window() == this &&
            (widget == QApplication::focusWidget() || !QApplication::focusWidget())) {
            if (widget == SuchEdit || widget == SuchEditNeu) {
                if (SuchEditKeyDown(key)) return true;
            }
            FormKeyDown(key);
            // F12 is consumed, so that a message it shows is not raised again by the next control.
            if (key->key() == Qt::Key_F24 || key->key() == Qt::Key_F12) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TWBuchDialog::SuchRegisterChange(int page) {
    const int wanted = page == 1 ? 2 : 1;
    if (wanted == suchrichtung_) return;
    suchrichtung_ = wanted;
    MachSuche();
}

void TWBuchDialog::SuchrichtungsButtonClick(int tag) {
    if (tag != suchrichtung_) WechsleSuchrichtung();
}

void TWBuchDialog::WechsleSuchrichtung() {
    suchrichtung_ = suchrichtung_ == 1 ? 2 : 1;
    RichtungsknoepfeAnzeigen();
    MachSuche();
}

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

void TWBuchDialog::FremdspracheTabClick(int tag) {
    if (NachDemLauf([this, tag] { FremdspracheTabClick(tag); })) return;
    const int count = static_cast<int>(woerterbuecher_->Liste.size());
    int p = tag;
    if (p <= 0 || p > count) p = 2;
    const int vorher = aktuellePosition_;
    aktuellePosition_ = p;
    ZeigeSprachreiter();
    if (!Oeffne(p - 1)) {
        // The language open before stays in force, and so does its tab.
        aktuellePosition_ = vorher;
        ZeigeSprachreiter();
        Meldungsfenster(ZuUnicode(woerterbuecher_->Fehlermeldung()), KText(5007, "Problem"), 3, true, false);
    }
    RichtungsknoepfeAnzeigen();
    MachSuche();
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

void TWBuchDialog::WechsleWoerterbuch() {
    if (NachDemLauf([this] { WechsleWoerterbuch(); })) return;
    TWoerterbuecher& wb = *woerterbuecher_;
    QLineEdit* edit = AktivesSuchfeld();
    // The search text survives a dictionary that fails to open: the retry and a cancel after it keep it.
    bool remembering = false;
    QString remembered;
    for (;;) {
        QStringList entries;
        for (const std::string& e : wb.Liste)
            entries << ZuUnicode(std::string(Listenfeld(e, 1)) + "/" + std::string(Listenfeld(e, 2)));
        if (!auswahl_) auswahl_ = new TWBAuswahlDialog(this);
        auswahl_->Fuellen(entries, wb.Index);
        if (auswahl_->exec() != QDialog::Accepted) {
            // Back to the dictionary that stayed open, with the search it showed.
            if (remembering && !remembered.isEmpty()) {
                edit->setText(remembered);
                MachSuche();
            }
            return;
        }
        SetzeWartecursor(true);
        ErgebnisListe->clear();
        treffer_.Leeren();
        if (!remembering) remembered = edit->text().trimmed();
        remembering = true;
        edit->clear();
        Trefferlabel->setText(keineSuche_);
        if (Oeffne(auswahl_->Markiert(), true)) {
            SetzeKopfzeile(true);
            SetzeWartecursor(false);
            if (!remembered.isEmpty()) {
                edit->setText(remembered);
                MachSuche();
            }
            return;
        }
        // The dictionary open before stays in force; the message says why the chosen one did not open.
        SetzeKopfzeile(true);
        SetzeWartecursor(false);
        Meldungsfenster(ZuUnicode(wb.Fehlermeldung()), KText(5007, "Problem"), 3, true, false);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Font and layout

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
