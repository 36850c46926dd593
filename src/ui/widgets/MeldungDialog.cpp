#include "ui/widgets/MeldungDialog.h"

#include <algorithm>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextStream>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "ui/widgets/Fensterhilfen.h"

namespace zanit {
namespace {

constexpr int kClientBreite = 340;
constexpr int kLeisteBreite = 193;
constexpr int kLeisteHoehe = 23;
constexpr int kMaxText = 255;

TMeldungDialog* gDialog = nullptr;

// The small buttons that carry focus and keyboard under the painted strip: never drawn themselves, the
// strip shows the button they stand for.
class Traeger : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override {}
};

}  // namespace

// ---- dialog ----

TMeldungDialog::TMeldungDialog(QWidget* owner)
    : TOwnFenster(owner) {
    setObjectName(QStringLiteral("MeldungDialog"));
    setProperty("Tag", 5);
    setModal(true);
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(8);
    setFont(f);

    Textfeld = new QLabel(this);
    Textfeld->setObjectName(QStringLiteral("Textfeld"));
    Textfeld->setWordWrap(true);
    Textfeld->setGeometry(16, 36, 308, 15);

    jabutton = new Traeger(this);
    jabutton->setObjectName(QStringLiteral("jabutton"));
    neinbutton = new Traeger(this);
    neinbutton->setObjectName(QStringLiteral("neinbutton"));
    for (QPushButton* b : {jabutton, neinbutton}) {
        b->setFixedSize(28, 15);
        b->setAutoDefault(true);
        b->installEventFilter(this);
    }
    buttonbox = new TButtonLeiste(this);
    buttonbox->setObjectName(QStringLiteral("buttonbox"));
    buttonbox->raise();  // the small buttons sit under the strip and only carry focus and keyboard

    connect(jabutton, &QPushButton::clicked, this, [this] { done(kErgebnisJa); });
    connect(neinbutton, &QPushButton::clicked, this, [this] { done(kErgebnisNein); });
    connect(buttonbox, &TButtonLeiste::gedrueckt, this, [this](int b) {
        (b == 0 ? jabutton : neinbutton)->setFocus(Qt::MouseFocusReason);
    });
    connect(buttonbox, &TButtonLeiste::geklickt, this,
            [this](int b) { done(b == 0 ? kErgebnisJa : kErgebnisNein); });
    resize(kClientBreite, 95);
}

void TMeldungDialog::reject() { done(kErgebnisNein); }

int TMeldungDialog::Meldungsfenster(const QString& text, const QString& title, int lines, bool centred,
                                    bool yesNo) {
    lines = std::clamp(lines, 0, 255);
    Textfeld->setAlignment(centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
    setWindowTitle(title.left(kMaxText));
    // Carriage returns break lines; the label wants line feeds.
    QString shown = text.left(kMaxText);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    // The lines a caller reserves are counted for the designed font; where a wider one stands in, a text
    // that no longer fits gets the room it needs instead of being cut off.
    const int noetig = shown.isEmpty() ? 0
                                       : Textfeld->fontMetrics()
                                             .boundingRect(QRect(0, 0, 308, 4096), Qt::TextWordWrap, shown)
                                             .height();
    Textfeld->setGeometry(16, 36, 308, std::max(lines * 15, noetig));
    Textfeld->setText(shown);
    const int clientHeight = Textfeld->height() + 80;
    setFixedSize(kClientBreite, clientHeight);

    // The OK layout has no yes button: it neither shows nor takes the focus.
    jabutton->setEnabled(yesNo);
    jabutton->setVisible(yesNo);
    buttonbox->setDoppelt(yesNo);
    buttonbox->setGeometry(kClientBreite - kLeisteBreite, clientHeight - kLeisteHoehe, kLeisteBreite,
                           kLeisteHoehe);
    jabutton->move(buttonbox->x() + 2, buttonbox->y() + 2);
    neinbutton->move(buttonbox->x() + 20, buttonbox->y() + 2);
    return exec();
}

void TMeldungDialog::showEvent(QShowEvent* e) {
    ZentriereDialog(this);
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
    buttonbox->setSprache(Knopfsprache());
    (jabutton->isEnabled() ? jabutton : neinbutton)->setFocus(Qt::OtherFocusReason);
    TOwnFenster::showEvent(e);  // gives the window its shape
}

bool TMeldungDialog::vorschau(QKeyEvent* e) {
    const QString t = e->text().toUpper();
    if (t.size() != 1) return false;
    const QChar c = t.at(0);
    if (c == u'J' || c == u'Y' || c == u'S' || c == u'O') {
        done(kErgebnisJa);
        return true;
    }
    if (c == u'N') {
        done(kErgebnisNein);
        return true;
    }
    return false;
}

bool TMeldungDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && vorschau(static_cast<QKeyEvent*>(event))) return true;
    if (watched == jabutton || watched == neinbutton) {
        if (event->type() == QEvent::FocusIn) buttonbox->setHervorgehoben(watched == jabutton ? 0 : 1);
        else if (event->type() == QEvent::FocusOut) buttonbox->setHervorgehoben(-1);
    }
    return TOwnFenster::eventFilter(watched, event);
}

void TMeldungDialog::keyPressEvent(QKeyEvent* e) {
    if (vorschau(e)) return;
    TOwnFenster::keyPressEvent(e);
}

// ---- process-wide access ----

TMeldungDialog* Meldungsdialog() { return gDialog; }
void SetzeMeldungsdialog(TMeldungDialog* dialog) { gDialog = dialog; }

bool MeldungProtokollieren(const QString& title, const QString& text) {
    const QString path = qEnvironmentVariable("ZANIT_MELDUNGSPROTOKOLL");
    if (path.isEmpty()) return false;
    QFile f(path);
    if (f.open(QIODevice::Append | QIODevice::Text)) {
        QTextStream out(&f);
        QString flat = text;
        flat.replace(QChar('\r'), QStringLiteral("\\r")).replace(QChar('\n'), QStringLiteral("\\n"));
        out << title << '\t' << flat << '\n';
    }
    return true;
}

int Meldungsfenster(const QString& text, const QString& title, int lines, bool centred, bool yesNo) {
    if (MeldungProtokollieren(title, text)) {
        bool ok = false;
        const int answer = qEnvironmentVariable("ZANIT_MELDUNGSANTWORT").toInt(&ok);
        return ok ? answer : kErgebnisNein;
    }
    if (gDialog) return gDialog->Meldungsfenster(text, title, lines, centred, yesNo);
    TMeldungDialog temp;
    return temp.Meldungsfenster(text, title, lines, centred, yesNo);
}

void Systemmeldung(const QString& text, const QString& title) {
    if (MeldungProtokollieren(title, text)) return;
    QMessageBox::warning(nullptr, title, text);
}

}  // namespace zanit
