#include "trainer/widgets/WBVerschieben.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "ui/widgets/Knopfkasten.h"
#include "trainer/widgets/WBLekname.h"
#include "trainer/widgets/WBSchreibschutzInfo.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/MeldungDialog.h"
#include "ui/widgets/Unicode.h"
#include "xbase/Table.h"

namespace zanit {

namespace {

// A language picture: the flag that Debian's flag package installs, else the letter on a plain tile.
QIcon Sprachbild(const char* land, const QString& buchstabe) {
    const QString datei = QStringLiteral("/usr/share/flags/countries/16x11/%1.png").arg(QLatin1String(land));
    if (QFile::exists(datei)) return QIcon(datei);
    QPixmap bild(16, 11);
    bild.fill(QColor(0x40, 0x60, 0xA0));
    QPainter p(&bild);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.drawText(bild.rect(), Qt::AlignCenter, buchstabe);
    return QIcon(bild);
}

}  // namespace

std::vector<QIcon> SammlungsBilder() {
    std::vector<QIcon> bilder(29);
    const struct {
        int index;
        const char* land;
        const char* buchstabe;
    } sprachen[] = {{0, "de", "D"}, {1, "gb", "E"}, {3, "fr", "F"}, {4, "it", "I"},
                    {5, "es", "S"}, {6, "va", "L"}, {11, "se", "V"}};
    for (const auto& s : sprachen) bilder[static_cast<std::size_t>(s.index)] = Sprachbild(s.land, QString::fromLatin1(s.buchstabe));
    QStyle* stil = QApplication::style();
    bilder[20] = stil->standardIcon(QStyle::SP_MessageBoxQuestion);
    bilder[kGruppenbild] = stil->standardIcon(QStyle::SP_DirIcon);
    bilder[kSammlungsbild] = stil->standardIcon(QStyle::SP_FileIcon);
    return bilder;
}

TVerschiebenDialog::TVerschiebenDialog(QWidget* owner) : TOwnFenster(owner) {
    setObjectName(QStringLiteral("VerschiebenDialog"));
    setModal(true);
    setFixedSize(470, 344);
    SmallImage = SammlungsBilder();
    ObenLabel = new QLabel(this);
    ObenLabel->setGeometry(16, 34, 438, 36);
    ObenLabel->setWordWrap(true);
    VokabelnLabel = new QLabel(this);
    VokabelnLabel->setGeometry(16, 74, 244, 18);
    LektionenLabel = new QLabel(this);
    LektionenLabel->setGeometry(270, 74, 184, 18);
    VerschiebenBaum = new QTreeWidget(this);
    VerschiebenBaum->setObjectName(QStringLiteral("VerschiebenBaum"));
    VerschiebenBaum->setGeometry(16, 92, 244, 200);
    VerschiebenBaum->setHeaderHidden(true);
    VerschiebenBaum->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LektionenBox = new QListWidget(this);
    LektionenBox->setObjectName(QStringLiteral("LektionenBox"));
    LektionenBox->setGeometry(270, 92, 184, 200);
    VokabelnLabel->setBuddy(VerschiebenBaum);
    LektionenLabel->setBuddy(LektionenBox);
    NeuButton = new QPushButton(this);
    NeuButton->setObjectName(QStringLiteral("NeuButton"));
    NeuButton->setGeometry(16, 304, 140, 24);
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    AbbrechenButton = new QPushButton(this);
    AbbrechenButton->setObjectName(QStringLiteral("AbbrechenButton"));
    buttonbox = SetzeKnopfkasten(this, Knopflayout::OKAbbrechen, OkButton, AbbrechenButton);

    connect(VerschiebenBaum, &QTreeWidget::currentItemChanged, this, [this] { VerschiebenBaumChange(); });
    connect(VerschiebenBaum, &QTreeWidget::itemDoubleClicked, this, [this] { LektionenBox->setFocus(); });
    connect(LektionenBox, &QListWidget::itemDoubleClicked, this, [this] { OkButtonClick(); });
    connect(OkButton, &QPushButton::clicked, this, &TVerschiebenDialog::OkButtonClick);
    connect(AbbrechenButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(NeuButton, &QPushButton::clicked, this, &TVerschiebenDialog::NeuButtonClick);
}

bool TVerschiebenDialog::BaumAufbauen(const std::string& sammlungsordner, std::string_view textF, int wurzelbild) {
    ordner_ = sammlungsordner;
    sammlung_.Leeren();
    LektionenBox->clear();
    TSammlungsknoten wurzel;
    const bool gefunden = ListeSammlungen(sammlungsordner, textF, wurzelbild, wurzel);
    const QSignalBlocker sperre(VerschiebenBaum);
    VerschiebenBaum->clear();
    auto bild = [this](int i) { return i >= 0 && i < static_cast<int>(SmallImage.size()) ? SmallImage[static_cast<std::size_t>(i)] : QIcon(); };
    auto* w = new QTreeWidgetItem(VerschiebenBaum, QStringList(ZuUnicode(wurzel.text)));
    w->setIcon(0, bild(wurzel.bild));
    for (const TSammlungsknoten& g : wurzel.kinder) {
        auto* gi = new QTreeWidgetItem(w, QStringList(ZuUnicode(g.text)));
        gi->setIcon(0, bild(g.bild));
        for (const TSammlungsknoten& s : g.kinder) {
            auto* si = new QTreeWidgetItem(gi, QStringList(ZuUnicode(s.text)));
            si->setIcon(0, bild(s.bild));
            si->setData(0, kDateiRolle, QByteArray::fromStdString(s.datei));
        }
    }
    w->setExpanded(true);
    return gefunden;
}

void TVerschiebenDialog::showEvent(QShowEvent* e) {
    FormShow();
    TOwnFenster::showEvent(e);
}

void TVerschiebenDialog::FormShow() {
    ZentriereDialog(this);
    VokabelnLabel->setText(KText(25011, "&Vokabelsammlung:"));
    LektionenLabel->setText(KText(25012, "&Lektionen"));
    NeuButton->setText(KText(25014, "&Neue Lektion"));
    NeuButton->setToolTip(KText(21211, "Neue Lektion hinzufügen"));
    AbbrechenButton->setText(AbbrechenText(Knopfsprache()));
    buttonbox->setSprache(Knopfsprache());
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
    hinzugefuegt_ = false;
    ziel_ = 0;
    VerschiebenBaum->setFocus();
}

void TVerschiebenDialog::FuelleLektionen() {
    LektionenBox->clear();
    for (const auto& [nr, name] : sammlung_.liste) {
        auto* item = new QListWidgetItem(ZuUnicode(name), LektionenBox);
        item->setData(kNummerRolle, nr);
    }
    if (LektionenBox->count() > 0) LektionenBox->setCurrentRow(0);
}

void TVerschiebenDialog::VerschiebenBaumChange() {
    QTreeWidgetItem* knoten = VerschiebenBaum->currentItem();
    sammlung_.Leeren();
    LektionenBox->clear();
    if (!knoten || knoten->childCount() > 0 || !knoten->parent()) return;
    try {
        sammlung_.Waehlen(ordner_, knoten->data(0, kDateiRolle).toByteArray().toStdString());
    } catch (const xbase::TableError& e) {
        // A lesson table that cannot be read shows no lessons, so nothing can be stored into it.
        sammlung_.Leeren();
        Meldungsfenster(KText(30107, "Auf diese Vokabelsammlung kann momentan nicht zugegriffen werden. Der "
                                     "Wörterbucheintrag wird daher nicht übernommen."),
                        KText(5006, "Hinweis"), 3, true, false);
        return;
    }
    FuelleLektionen();
}

void TVerschiebenDialog::OkButtonClick() {
    if (sammlung_.gueltig && sammlung_.kopf.GeschuetztGegenUns()) {
        TSchreibschutzInfoDialog info(this);
        info.TextLabel->setText(KText(12519, "Die gewählte Vokabelsammlung wurde von einem anderen Benutzer mit "
                                             "einem Schreibschutz versehen, so dass Sie keine Veränderungen an den "
                                             "Daten der Sammlung vornehmen können."));
        info.Text2Label->setText(KText(12529, "Bitte wählen Sie eine andere Sammlung, in die die selektierte(n) "
                                              "Vokabel(n) verschoben werden sollen, oder schließen Sie den "
                                              "Verschieben-Dialog über \"Abbrechen\"."));
        info.exec();
        return;
    }
    QListWidgetItem* lektion = LektionenBox->currentItem();
    if (!lektion) {
        Meldungsfenster(KText(25100, "Bitte wählen Sie eine Vokabelsammlung aus, in die die markierten Vokabeln "
                                     "kopiert werden sollen."),
                        KText(5006, "Hinweis"), 2, true, false);
        return;
    }
    ziel_ = lektion->data(kNummerRolle).toInt();
    accept();
}

void TVerschiebenDialog::NeuButtonClick() {
    if (!sammlung_.lektionstabelle) {
        Meldungsfenster(KText(25100, "Bitte wählen Sie eine Vokabelsammlung aus, in die die markierten Vokabeln "
                                     "kopiert werden sollen."),
                        KText(5006, "Hinweis"), 2, true, false);
        return;
    }
    if (sammlung_.kopf.Lektionszahl() >= kMaxLektionen) {
        Meldungsfenster(KText(99002, "Diese Vokabelsammlung enthält bereits die maximale Anzahl an Lektionen."),
                        KText(5006, "Hinweis"), 2, false, false);
        return;
    }
    TLekNameDialog name(this);
    name.Lektionsmodus();
    QString vorschlag;
    while (name.Fragen(vorschlag)) {
        const std::string text = ZuCp1252(name.Name().trimmed());
        if (text.empty()) continue;
        if (LektionsnameVorhanden(sammlung_.plaetze, text)) {
            Meldungsfenster(KText(99035, "Eine Lektion mit diesem Namen ist in der Vokabelsammlung bereits vorhanden."),
                            KText(5006, "Hinweis"), 2, true, false);
            vorschlag = name.Name();
            continue;
        }
        const int nr = sammlung_.NeueLektion(text);
        if (nr != 0) {
            auto* item = new QListWidgetItem(ZuUnicode(sammlung_.liste.back().second), LektionenBox);
            item->setData(kNummerRolle, nr);
            LektionenBox->setCurrentItem(item);
            hinzugefuegt_ = true;
        }
        break;
    }
}

}  // namespace zanit
