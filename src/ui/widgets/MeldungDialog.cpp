#include "ui/widgets/MeldungDialog.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPolygon>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QStyleOptionButton>
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

struct Beschriftung {
    const char* links;
    const char* rechts;
};
// German, English, French, Italian, Spanish, Dutch, Swedish.
constexpr Beschriftung kBeschriftungen[7] = {
    {"Ja", "Nein"}, {"Yes", "No"}, {"Oui", "Non"}, {"S\u00ec", "No"},
    {"Si", "No"},   {"Ja", "Nee"}, {"Ja", "Nej"},
};

}  // namespace

void DialogFormSetzen(QWidget* window, int width, int height) {
    QPolygon shape;
    shape << QPoint(0, 0) << QPoint(width, 0) << QPoint(width, height - 21) << QPoint(width - 21, height)
          << QPoint(0, height);
    window->setMask(QRegion(shape));
    window->update();
}

QString ButtonText(int language, bool left, bool yesNo) {
    if (!yesNo) return QStringLiteral("OK");
    if (language < 0 || language > 6) language = 0;
    return QString::fromUtf8(left ? kBeschriftungen[language].links : kBeschriftungen[language].rechts);
}

// ---- strip ----

TButtonLeiste::TButtonLeiste(QWidget* parent) : QWidget(parent) {
    setFixedSize(kLeisteBreite, kLeisteHoehe);
    setFocusPolicy(Qt::NoFocus);
}

void TButtonLeiste::setDoppelt(bool on) {
    doppelt_ = on;
    update();
}

void TButtonLeiste::setSprache(int language) {
    sprache_ = (language >= 0 && language <= 6) ? language : 0;
    update();
}

void TButtonLeiste::setHervorgehoben(int button) {
    hervorgehoben_ = button;
    update();
}

QRect TButtonLeiste::knopfRechteck(int button) const {
    const int half = width() / 2;
    return button == 0 ? QRect(0, 0, half, height()) : QRect(half, 0, width() - half, height());
}

int TButtonLeiste::knopfBei(QPoint p) const {
    if (!rect().contains(p)) return -1;
    const int b = knopfRechteck(0).contains(p) ? 0 : 1;
    if (b == 0 && !doppelt_) return -1;  // the OK layout has only the right button
    return b;
}

void TButtonLeiste::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (int b = doppelt_ ? 0 : 1; b <= 1; ++b) {
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.rect = knopfRechteck(b).adjusted(1, 1, -1, -1);
        opt.text = ButtonText(sprache_, b == 0, doppelt_);
        opt.state |= QStyle::State_Enabled;
        if (b == gedrueckt_) opt.state |= QStyle::State_Sunken;
        else opt.state |= QStyle::State_Raised;
        if (b == hervorgehoben_) opt.state |= QStyle::State_HasFocus;
        style()->drawControl(QStyle::CE_PushButton, &opt, &p, this);
    }
}

void TButtonLeiste::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    gedrueckt_ = knopfBei(e->position().toPoint());
    if (gedrueckt_ >= 0) emit gedrueckt(gedrueckt_);
    update();
}

void TButtonLeiste::mouseReleaseEvent(QMouseEvent* e) {
    const int b = gedrueckt_;
    gedrueckt_ = -1;
    update();
    if (b >= 0 && e->button() == Qt::LeftButton && knopfBei(e->position().toPoint()) == b) emit geklickt(b);
}

// ---- dialog ----

TMeldungDialog::TMeldungDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
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

    jabutton = new QPushButton(this);
    jabutton->setObjectName(QStringLiteral("jabutton"));
    neinbutton = new QPushButton(this);
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
    Textfeld->setGeometry(16, 36, 308, lines * 15);
    // Carriage returns break lines; the label wants line feeds.
    QString shown = text.left(kMaxText);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    Textfeld->setText(shown);
    const int clientHeight = Textfeld->height() + 80;
    setFixedSize(kClientBreite, clientHeight);

    jabutton->setEnabled(yesNo);
    buttonbox->setDoppelt(yesNo);
    buttonbox->setGeometry(kClientBreite - kLeisteBreite, clientHeight - kLeisteHoehe, kLeisteBreite,
                           kLeisteHoehe);
    jabutton->move(buttonbox->x() + 2, buttonbox->y() + 2);
    neinbutton->move(buttonbox->x() + 20, buttonbox->y() + 2);
    return exec();
}

void TMeldungDialog::showEvent(QShowEvent* e) {
    DialogFormSetzen(this, width(), height());
    const Fensterrechteck r = Startzustand().einmalGezeigt ? Startzustand().fensterCache : BildschirmRechteck();
    move(r.left + (r.width - width()) / 2, r.top + (r.height - height()) / 2);
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
    buttonbox->setSprache(Knopfsprache());
    (jabutton->isEnabled() ? jabutton : neinbutton)->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(e);
}

void TMeldungDialog::paintEvent(QPaintEvent*) {
    // Plain frame and title until the skinned dialog base paints them.
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(12, 8, width() - 24, 18), Qt::AlignLeft | Qt::AlignVCenter, windowTitle());
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
    return QDialog::eventFilter(watched, event);
}

void TMeldungDialog::keyPressEvent(QKeyEvent* e) {
    if (vorschau(e)) return;
    QDialog::keyPressEvent(e);
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
