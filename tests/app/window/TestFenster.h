#pragma once
// Drives the real main window in the test process: start-up on a test installation, answering modal
// dialogs, waiting for the incremental search.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "base/Startzustand.h"
#include "ui/widgets/MeldungDialog.h"
#include "app/widgets/WBuchDialog.h"
#include "data/Datendialog.h"
#include "search/widgets/ErgebnisListe.h"

namespace zanit::test {

// Keeps a test from waiting forever on a modal dialog: every dialog that stays open longer than kHaengegrenze
// (nobody answered it, or the answer failed) is closed and noted, and a BeiModal that never finds its dialog
// gives up after kWartegrenze. Abschluss() reports both and disarms what is still waiting.
class ModalAufsicht {
public:
    static constexpr int kHaengegrenze = 10000;  // ms a modal dialog may stay open
    static constexpr int kWartegrenze = 15000;   // ms a BeiModal waits for its dialog

    static ModalAufsicht& Instanz() {
        static ModalAufsicht aufsicht;
        return aufsicht;
    }

    void Melden(const QString& fehler) { fehler_ << fehler; }
    void Anmelden(QTimer* t) { wartende_ << t; }
    void Abmelden(QTimer* t) { wartende_.removeAll(t); }

    // The problems seen since the last call, empty when all went well; stops every pending BeiModal.
    QStringList Abschluss() {
        for (QTimer* t : wartende_) {
            t->stop();
            t->deleteLater();
            fehler_ << QStringLiteral("a dialog that was expected never opened");
        }
        wartende_.clear();
        QStringList out;
        out.swap(fehler_);
        return out;
    }

private:
    ModalAufsicht() {
        auto* t = new QTimer(qApp);
        t->setInterval(100);
        QObject::connect(t, &QTimer::timeout, [this] { Pruefen(); });
        t->start();
    }

    void Pruefen() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) {
            offen_ = nullptr;
            return;
        }
        if (w != offen_) {
            offen_ = w;
            seit_.start();
            return;
        }
        if (seit_.elapsed() < kHaengegrenze) return;
        fehler_ << QStringLiteral("modal dialog \"%1\" (%2) left open, closed by the test")
                       .arg(w->windowTitle(), QString::fromLatin1(w->metaObject()->className()));
        offen_ = nullptr;
        if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
        else w->close();
    }

    QPointer<QWidget> offen_;
    QElapsedTimer seit_;
    QList<QTimer*> wartende_;
    QStringList fehler_;
};

// Runs `action` on the next modal dialog as soon as it is open (polling, so it also finds dialogs opened
// inside nested event loops). Bounded: see ModalAufsicht.
inline void BeiModal(std::function<void(QWidget*)> action) {
    ModalAufsicht& aufsicht = ModalAufsicht::Instanz();
    auto* timer = new QTimer;
    timer->setInterval(20);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    aufsicht.Anmelden(timer);
    QObject::connect(timer, &QTimer::timeout, [timer, action, clock, &aufsicht] {
        QWidget* w = QApplication::activeModalWidget();
        const bool open = w && w->isVisible();
        if (!open && clock->elapsed() < ModalAufsicht::kWartegrenze) return;
        // Stopped before the action: the action may itself open dialogs and run event loops.
        aufsicht.Abmelden(timer);
        timer->stop();
        timer->deleteLater();
        if (open) action(w);
        else aufsicht.Melden(QStringLiteral("no modal dialog opened within %1 ms").arg(ModalAufsicht::kWartegrenze));
    });
    timer->start();
}

// Waits until `w`'s window is the application's active window, so that its window shortcuts take keys.
// QTest::qWaitForWindowActive is no help for a dialog: a window counts as active there as soon as its
// transient parent is, before the dialog has the input focus.
inline bool WarteBisAktiv(QWidget* w, int ms = 5000) {
    return QTest::qWaitFor([w] { return QApplication::activeWindow() == w->window(); }, ms);
}

// For the test classes' cleanup(): fails the test function that left a dialog open or waited for one in vain.
inline void ModaleDialogePruefen() {
    const QStringList problems = ModalAufsicht::Instanz().Abschluss();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
}

struct Meldung {
    bool gesehen = false;
    QString titel, text;
};

// Answers the next message dialog with `key` and records what it said.
inline std::shared_ptr<Meldung> BeantworteMeldung(int key = Qt::Key_Return) {
    auto seen = std::make_shared<Meldung>();
    BeiModal([seen, key](QWidget* w) {
        if (auto* m = qobject_cast<TMeldungDialog*>(w)) {
            seen->gesehen = true;
            seen->titel = m->windowTitle();
            seen->text = m->Textfeld->text();
        }
        QWidget* target = w->focusWidget() ? w->focusWidget() : w;
        QTest::keyClick(target, static_cast<Qt::Key>(key));
    });
    return seen;
}

class Fenster {
public:
    // Starts the window like the program does; false when start-up decided to end.
    bool Start(QStringList args = {}) {
        ModalAufsicht::Instanz();  // watches from the start: start-up may open dialogs too
        args.prepend(QStringLiteral("zanit-wb"));
        Startzustand() = TStartzustand{};
        daten_ = std::make_unique<TDatendialog>();
        w_ = std::make_unique<TWBuchDialog>(*daten_, args);
        const bool ok = w_->FormCreate();
        if (ok && w_->isVisible()) {
            w_->activateWindow();
            if (!QTest::qWaitForWindowActive(w_.get())) qWarning("window not active");
        }
        return ok;
    }
    ~Fenster() {
        if (w_) w_->hide();
        w_.reset();
        daten_.reset();
    }

    TWBuchDialog* operator->() const { return w_.get(); }
    TWBuchDialog& operator*() const { return *w_; }
    QLineEdit* Edit() const { return w_->AktivesSuchfeld(); }
    TErgebnisListe* Liste() const { return w_->ErgebnisListe; }
    QString Zeile(int row) const { return Liste()->Zeile(row); }

    // Types into the search field as a user does.
    void Tippen(const QString& text) const {
        Edit()->setFocus();
        QTest::keyClicks(Edit(), text);
    }
    // Types, then waits until the incremental search has run.
    void TippenUndWarten(const QString& text) const {
        Tippen(text);
        QTRY_VERIFY_WITH_TIMEOUT(!w_->TastenTimer->isActive(), 3000);
    }

private:
    std::unique_ptr<TDatendialog> daten_;
    std::unique_ptr<TWBuchDialog> w_;
};

}  // namespace zanit::test
