#pragma once
// Drives the real main window in the test process: start-up on a test installation, answering modal
// dialogs, waiting for the incremental search.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/Startzustand.h"
#include "app/widgets/MeldungDialog.h"
#include "app/widgets/WBuchDialog.h"
#include "data/Datendialog.h"
#include "search/widgets/ErgebnisListe.h"

namespace zanit::test {

// Runs `action` on the next modal dialog as soon as it is open (polling, so it also finds dialogs opened
// inside nested event loops).
inline void BeiModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        action(w);
    });
    timer->start();
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
