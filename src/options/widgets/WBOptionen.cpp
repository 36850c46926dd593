#include "options/widgets/WBOptionen.h"

#include <QCheckBox>
#include <algorithm>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>

#include "base/Katalog.h"
#include "desktop/Tastenfolge.h"
#include "options/widgets/THotkeyFeld.h"
#include "ui/Skinmass.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Knopfkasten.h"
#include "ui/widgets/Unicode.h"

namespace zanit {
namespace {

constexpr int kBreite = 540;

// Font names with the sample "Abc" in the font itself at the right edge.
class TSchriftprobe : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(p, option, index);
        QFont probe(index.data().toString());
        probe.setPointSize(option.font.pointSize() > 0 ? option.font.pointSize() + 1 : 10);
        p->save();
        p->setFont(probe);
        p->setPen(option.state & QStyle::State_Selected ? option.palette.highlightedText().color()
                                                         : option.palette.text().color());
        p->drawText(option.rect.adjusted(0, 0, -6, 0), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Abc"));
        p->restore();
    }
};

QCheckBox* Pruefkasten(QWidget* eltern, const char* name, int x, int y) {
    auto* c = new QCheckBox(eltern);
    c->setObjectName(QString::fromLatin1(name));
    c->move(x, y);
    return c;
}

QLabel* Beschriftung(QWidget* eltern, const char* name, int x, int y, int breite) {
    auto* l = new QLabel(eltern);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, breite, 21);
    return l;
}

}  // namespace

TSpinKnoepfe::TSpinKnoepfe(QWidget* parent) : QWidget(parent) {
    Auf = new QToolButton(this);
    Ab = new QToolButton(this);
    Auf->setArrowType(Qt::UpArrow);
    Ab->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {Auf, Ab}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    setFixedSize(16, 22);
    Auf->setGeometry(0, 0, 16, 11);
    Ab->setGeometry(0, 11, 16, 11);
    connect(Auf, &QToolButton::clicked, this, [this] {
        SetzePosition(position_ + 1);
        emit geaendert(position_);
    });
    connect(Ab, &QToolButton::clicked, this, [this] {
        SetzePosition(position_ - 1);
        emit geaendert(position_);
    });
}

void TSpinKnoepfe::SetzePosition(int p) { position_ = std::clamp(p, kVerzoegerungMin, kVerzoegerungMax); }

TOptionenDialog::TOptionenDialog(QWidget* parent) : TOwnFenster(parent) {
    setObjectName(QStringLiteral("OptionenDialog"));
    setFixedSize(kBreite, kOptionenHoeheMitSprachen);

    HotKeyCheck = Pruefkasten(this, "HotKeyCheck", 20, 36);
    Hotkey0Label = Beschriftung(this, "Hotkey0Label", 38, 58, 306);
    Hotkey1Label = Beschriftung(this, "Hotkey1Label", 38, 82, 306);
    Hotkey2Label = Beschriftung(this, "Hotkey2Label", 38, 106, 306);
    THotkeyFeld** felder[3] = {&HKGen, &HK1mit, &HK2mit};
    const char* namen[3] = {"HKGen", "HK1mit", "HK2mit"};
    for (int i = 0; i < 3; ++i) {
        *felder[i] = new THotkeyFeld(this);
        (*felder[i])->setObjectName(QString::fromLatin1(namen[i]));
        (*felder[i])->setGeometry(350, 58 + 24 * i, 170, 21);
        connect(*felder[i], &THotkeyFeld::geaendert, this, [this] { HotkeyFehlerLabel->clear(); });
    }
    Hotkey0Label->setBuddy(HKGen);
    Hotkey1Label->setBuddy(HK1mit);
    Hotkey2Label->setBuddy(HK2mit);
    HotkeyFehlerLabel = new QLabel(this);
    HotkeyFehlerLabel->setObjectName(QStringLiteral("HotkeyFehlerLabel"));
    HotkeyFehlerLabel->setGeometry(38, 129, kBreite - 58, 30);
    HotkeyFehlerLabel->setWordWrap(true);
    HotkeyFehlerLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    HotkeyFehlerLabel->setStyleSheet(QStringLiteral("color: #b00000;"));

    DirektsucheCheck = Pruefkasten(this, "DirektsucheCheck", 20, 160);
    SVLabel1 = Beschriftung(this, "SVLabel1", 38, 183, 170);
    svEdit = new QLineEdit(this);
    svEdit->setObjectName(QStringLiteral("svEdit"));
    svEdit->setMaxLength(4);
    svEdit->setValidator(new QIntValidator(0, kVerzoegerungMax, svEdit));
    svEdit->setGeometry(212, 183, 48, 22);
    SVLabel1->setBuddy(svEdit);
    SVSpin = new TSpinKnoepfe(this);
    SVSpin->setObjectName(QStringLiteral("SVSpin"));
    SVSpin->move(261, 183);
    SVLabel2 = Beschriftung(this, "SVLabel2", 282, 183, 60);
    // Field and spin buttons follow each other.
    connect(SVSpin, &TSpinKnoepfe::geaendert, this, [this](int p) { svEdit->setText(QString::number(p)); });
    connect(svEdit, &QLineEdit::textEdited, this, [this](const QString& t) {
        bool ok = false;
        const int n = t.toInt(&ok);
        if (ok) SVSpin->SetzePosition(n);
    });

    FontGroupBox = new QGroupBox(this);
    FontGroupBox->setObjectName(QStringLiteral("FontGroupBox"));
    FontGroupBox->setGeometry(20, 210, kBreite - 40, 54);
    Fontcombo = new QComboBox(FontGroupBox);
    Fontcombo->setObjectName(QStringLiteral("Fontcombo"));
    Fontcombo->setItemDelegate(new TSchriftprobe(Fontcombo));
    Fontcombo->setGeometry(12, 22, 340, 22);
    FontSizeCombo = new QComboBox(FontGroupBox);
    FontSizeCombo->setObjectName(QStringLiteral("FontSizeCombo"));
    FontSizeCombo->setGeometry(364, 22, 80, 22);

    AutoStartCheck = Pruefkasten(this, "AutoStartCheck", 20, 272);
    TrayCheck = Pruefkasten(this, "TrayCheck", 20, 294);
    SprachCheck = Pruefkasten(this, "SprachCheck", 20, 316);
    EndCheck = Pruefkasten(this, "EndCheck", 20, 338);

    DialogspracheGroup = new QGroupBox(this);
    DialogspracheGroup->setObjectName(QStringLiteral("DialogspracheGroup"));
    DialogspracheGroup->setGeometry(20, 362, kBreite - 40, 54);
    SprachenLabel = new QLabel(DialogspracheGroup);
    SprachenLabel->setObjectName(QStringLiteral("SprachenLabel"));
    SprachenLabel->setGeometry(12, 22, 260, 22);
    DialogspracheCombo = new QComboBox(DialogspracheGroup);
    DialogspracheCombo->setObjectName(QStringLiteral("DialogspracheCombo"));
    DialogspracheCombo->setGeometry(280, 22, 200, 22);
    SprachenLabel->setBuddy(DialogspracheCombo);

    OkButton = new QPushButton(this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    AbbrechenButton = new QPushButton(this);
    AbbrechenButton->setObjectName(QStringLiteral("AbbrechenButton"));
    buttonbox = SetzeKnopfkasten(this, Knopflayout::OKAbbrechen, OkButton, AbbrechenButton);
    connect(OkButton, &QPushButton::clicked, this, &TOptionenDialog::OkButtonClick);
    connect(AbbrechenButton, &QPushButton::clicked, this, [this] { done(2); });
    connect(HotKeyCheck, &QCheckBox::clicked, this, &TOptionenDialog::HotKeyCheckClick);
    connect(DirektsucheCheck, &QCheckBox::clicked, this, &TOptionenDialog::DirektsucheCheckClick);
}

int TOptionenDialog::Zeige(const Einstellungen& werte, char dialogbuchstabe) {
    werte_ = werte;
    buchstabe_ = dialogbuchstabe;
    return exec() == 1 ? 1 : 2;
}

void TOptionenDialog::showEvent(QShowEvent* e) {
    FormShow();
    TOwnFenster::showEvent(e);
    OkButton->setFocus(Qt::OtherFocusReason);
}

void TOptionenDialog::FormShow() {
    // 1., 2. The language list and with it the height.
    sprachen_ = BaueSprachliste(werte_.Program.empty() ? Katalog().Programmordner() : werte_.Program,
                                werte_.NoLanguageChange, buchstabe_);
    DialogspracheCombo->clear();
    for (const Sprachangebot& s : sprachen_.eintraege)
        DialogspracheCombo->addItem(s.name.empty() ? KText(5005, "(Standard)") : QString::fromUtf8(s.name));
    DialogspracheCombo->setCurrentIndex(sprachen_.markiert);
    DialogspracheGroup->setVisible(sprachen_.sichtbar);
    DialogspracheCombo->setEnabled(sprachen_.sichtbar);
    setFixedSize(kBreite, sprachen_.Hoehe());
    // The button box and the buttons under it stay in the lower-right corner.
    const QPoint versatz = QPoint(width() - kButtonboxBreite, height() - kButtonboxHoehe) - buttonbox->pos();
    for (QWidget* w : std::initializer_list<QWidget*>{buttonbox, OkButton, AbbrechenButton}) w->move(w->pos() + versatz);
    // 3. Centred on the main window; the shape follows the size (dialog base).
    ZentriereDialog(this);
    // 4. Captions.
    TexteSetzen();
    // 5. The hotkeys rest while keys are typed into the fields.
    gemerktGueltig_ = false;
    if (hotkeys_.zustaende) {
        gemerkt_ = hotkeys_.zustaende();
        gemerktGueltig_ = true;
        if (hotkeys_.zustaendeSetzen) hotkeys_.zustaendeSetzen({false, false, false});
    }
    // 6. The controls.
    HotKeyCheck->setChecked(gemerktGueltig_ ? gemerkt_[0] : werte_.HotKeyOn);
    const std::array<int, 3> k = hotkeys_.kuerzel ? hotkeys_.kuerzel()
                                                  : std::array<int, 3>{werte_.HotKey, werte_.HotKey1, werte_.HotKey2};
    HKGen->SetzeKuerzel(k[0]);
    HK1mit->SetzeKuerzel(k[1]);
    HK2mit->SetzeKuerzel(k[2]);
    HotkeyFehlerLabel->clear();
    HotKeyCheckClick();
    DirektsucheCheck->setChecked(werte_.Seek);
    svEdit->setText(QString::number(werte_.Interval));
    SVSpin->SetzePosition(werte_.Interval);
    DirektsucheCheckClick();
    TrayCheck->setChecked(werte_.Tray);
    AutoStartCheck->setChecked(werte_.Autostart);
    EndCheck->setChecked(!werte_.Save);
    SprachCheck->setChecked(!werte_.Sound);
    SchriftenFuellen(ZuUnicode(werte_.Fontname), werte_.Fontsize);
}

void TOptionenDialog::TexteSetzen() {
    setWindowTitle(KText(98100, "Optionen"));
    HotKeyCheck->setText(KText(98101, "&Hotkeys verwenden"));
    Hotkey0Label->setText(KText(98102, "HotKey zum Auf- und Herunter&klappen:"));
    Hotkey1Label->setText(KText(98103, "HotKey zur Suche in &erster Sprache:"));
    Hotkey2Label->setText(KText(98104, "HotKey zur Suche in &zweiter Sprache:"));
    DirektsucheCheck->setText(KText(98105, "&Automatische Suche nach Tastenanschlag"));
    SVLabel1->setText(KText(98106, "Su&chverzögerung:"));
    SVLabel2->setText(KText(98107, "ms"));
    FontGroupBox->setTitle(KText(98108, "&Schriftart"));
    AutoStartCheck->setText(KText(98109, "&Wörterbuch zusammen mit Windows neben der Uhr starten"));
    TrayCheck->setText(KText(98110, "Wörterbuch immer verkleinert neben der &Uhr starten"));
    SprachCheck->setText(KText(98111, "Kein Hinweis bei &fehlender Sprachausgabe beim Programmstart"));
    EndCheck->setText(KText(98112, "Kein Hinweis beim &Beenden des Programms"));
    DialogspracheGroup->setTitle(KText(98113, "&Dialogsprache"));
    SprachenLabel->setText(KText(98114, "&Verfügbare Dialogsprachen:"));
    for (QCheckBox* c : {HotKeyCheck, DirektsucheCheck, AutoStartCheck, TrayCheck, SprachCheck, EndCheck}) c->adjustSize();
    buttonbox->setSprache(Knopfsprache());
    OkButton->setText(KnopfText(Knopflayout::OKAbbrechen, Knopfsprache(), true));
    AbbrechenButton->setText(KnopfText(Knopflayout::OKAbbrechen, Knopfsprache(), false));
}

void TOptionenDialog::SchriftenFuellen(const QString& name, int groesse) {
    Fontcombo->clear();
    QStringList familien;
    for (const QString& f : QFontDatabase::families())
        if (QFontDatabase::isScalable(f) && !QFontDatabase::isPrivateFamily(f)) familien << f;
    if (!name.isEmpty() && !familien.contains(name)) familien.prepend(name);
    Fontcombo->addItems(familien);
    Fontcombo->setCurrentIndex(std::max(0, static_cast<int>(familien.indexOf(name))));
    FontSizeCombo->clear();
    QList<int> groessen = QFontDatabase::standardSizes();
    if (groesse > 0 && !groessen.contains(groesse)) {
        groessen << groesse;
        std::sort(groessen.begin(), groessen.end());
    }
    for (int g : groessen) FontSizeCombo->addItem(QString::number(g));
    FontSizeCombo->setCurrentIndex(std::max(0, static_cast<int>(groessen.indexOf(groesse))));
}

void TOptionenDialog::HotKeyCheckClick() {
    const bool an = HotKeyCheck->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{HKGen, HK1mit, HK2mit, Hotkey0Label, Hotkey1Label, Hotkey2Label})
        w->setEnabled(an);
}

void TOptionenDialog::DirektsucheCheckClick() {
    const bool an = DirektsucheCheck->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{svEdit, SVLabel1, SVLabel2, SVSpin}) w->setEnabled(an);
}

void TOptionenDialog::OkButtonClick() {
    THotkeyFeld* felder[3] = {HKGen, HK1mit, HK2mit};
    // One combination for two tasks would leave one of them unreachable: the dialog stays open at the later
    // of the two fields until each task has its own.
    if (HotKeyCheck->isChecked()) {
        for (int i = 1; i < 3; ++i) {
            for (int j = 0; j < i; ++j) {
                const int k = felder[i]->Kuerzel();
                if (k == 0 || k != felder[j]->Kuerzel()) continue;
                HotkeyFehlerLabel->setText(ZuUnicode(KatalogTextMitArgumenten(
                    98116, "Die Tastenkombination &# ist für zwei Aufgaben gewählt. Jede braucht ihre eigene.",
                    KuerzelAnzeige(k))));
                felder[i]->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    }
    // A new combination another program holds is refused here: the field gets back its combination, which
    // stays in force, and the dialog says why.
    if (HotKeyCheck->isChecked() && hotkeys_.frei && hotkeys_.kuerzel) {
        const std::array<int, 3> bisher = hotkeys_.kuerzel();
        for (int i = 0; i < 3; ++i) {
            const int neu = felder[i]->Kuerzel();
            std::string fehler;
            if (neu == bisher[i] || neu == 0 || hotkeys_.frei(neu, fehler)) continue;
            felder[i]->SetzeKuerzel(bisher[i]);
            HotkeyFehlerLabel->setText(ZuUnicode(KatalogTextMitArgumenten(
                98115,
                "Die Tastenkombination &# ist schon von einem anderen Programm belegt. Es bleibt bei &#.",
                KuerzelAnzeige(neu), KuerzelAnzeige(bisher[i]))));
            felder[i]->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    done(1);
}

void TOptionenDialog::done(int r) {
    // Closing, by OK or cancel: the hotkeys as active as they were before.
    if (gemerktGueltig_ && hotkeys_.zustaendeSetzen) hotkeys_.zustaendeSetzen(gemerkt_);
    gemerktGueltig_ = false;
    TOwnFenster::done(r);
}

Optionswerte TOptionenDialog::Werte() const {
    Optionswerte o;
    o.hotkeysAn = HotKeyCheck->isChecked();
    o.kuerzel = {HKGen->Kuerzel(), HK1mit->Kuerzel(), HK2mit->Kuerzel()};
    o.direktsuche = DirektsucheCheck->isChecked();
    o.verzoegerung = svEdit->text().toStdString();
    o.fontname = ZuCp1252(Fontcombo->currentText());
    o.fontsize = FontSizeCombo->currentText().toInt();
    o.autostart = AutoStartCheck->isChecked();
    o.tray = TrayCheck->isChecked();
    o.keinSprachhinweis = SprachCheck->isChecked();
    o.keinEndhinweis = EndCheck->isChecked();
    o.sprachenSichtbar = !DialogspracheGroup->isHidden();
    o.buchstabe = BuchstabeAusEintrag(DialogspracheCombo->currentIndex(), DialogspracheCombo->currentText().toStdString());
    return o;
}

}  // namespace zanit
