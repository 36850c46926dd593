// A small program that stands for "another program" in the hotkey tests: it shows a line edit (or a
// multi-line edit) holding a text, selects it and keeps the keyboard focus. Commands arrive on stdin, one a
// line; after each it prints "bereit" once its window has the focus. At start it prints "fenster <id>", the
// X window id of its window. Every key press it receives is printed
// as "taste <keys>", so a test sees which keys reached it.
//   zeile TEXT        line edit with TEXT, all selected
//   ohne TEXT         line edit with TEXT, nothing selected
//   mehrzeilig TEXT   multi-line edit, "\n" in TEXT is a line break, all selected
//   fokus             take the focus again
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

namespace {

void Ausgeben(const QString& zeile) {
    std::fputs(qPrintable(zeile + "\n"), stdout);
    std::fflush(stdout);
}

class Tastenbeobachter : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::KeyPress && o->isWidgetType() && o == QApplication::focusWidget()) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() != Qt::Key_Control && k->key() != Qt::Key_Shift && k->key() != Qt::Key_Alt)
                Ausgeben("taste " + QKeySequence(k->keyCombination()).toString(QKeySequence::PortableText));
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget fenster;
    fenster.setWindowTitle(QStringLiteral("Auswahlprogramm"));
    auto* layout = new QVBoxLayout(&fenster);
    auto* zeile = new QLineEdit(&fenster);
    auto* mehr = new QPlainTextEdit(&fenster);
    layout->addWidget(zeile);
    layout->addWidget(mehr);
    mehr->hide();
    fenster.setGeometry(700, 600, 400, 200);
    fenster.show();
    Ausgeben(QStringLiteral("fenster %1").arg(fenster.winId()));
    Tastenbeobachter beobachter;
    app.installEventFilter(&beobachter);

    QWidget* ziel = zeile;
    auto* warten = new QTimer(&app);
    warten->setInterval(20);
    QObject::connect(warten, &QTimer::timeout, [&] {
        if (QApplication::activeWindow() == &fenster && ziel->hasFocus()) {
            warten->stop();
            Ausgeben(QStringLiteral("bereit"));
            return;
        }
        fenster.raise();
        fenster.activateWindow();
        ziel->setFocus();
    });

    QSocketNotifier eingabe(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray puffer;
    QObject::connect(&eingabe, &QSocketNotifier::activated, [&] {
        char block[4096];
        const ssize_t n = ::read(STDIN_FILENO, block, sizeof block);
        if (n <= 0) {
            app.quit();
            return;
        }
        puffer.append(block, static_cast<int>(n));
        int ende;
        while ((ende = puffer.indexOf('\n')) >= 0) {
            const QString befehl = QString::fromUtf8(puffer.left(ende));
            puffer.remove(0, ende + 1);
            const QString wort = befehl.section(' ', 0, 0);
            const QString text = befehl.section(' ', 1);
            if (wort == "zeile" || wort == "ohne") {
                mehr->hide();
                zeile->show();
                zeile->setText(text);
                if (wort == "zeile") zeile->selectAll();
                else zeile->deselect();
                ziel = zeile;
            } else if (wort == "mehrzeilig") {
                zeile->hide();
                mehr->show();
                mehr->setPlainText(QString(text).replace(QStringLiteral("\\n"), QStringLiteral("\n")));
                mehr->selectAll();
                ziel = mehr;
            }
            // Every command ends with the focus on the edit.
            warten->start();
        }
    });
    return app.exec();
}
