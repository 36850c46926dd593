#include "app/widgets/Anwendung.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <string>
#include <typeinfo>

#include "base/Katalog.h"
#include "base/Log.h"
#include "base/Registry.h"
#include "ui/widgets/MeldungDialog.h"
#include "ui/widgets/Unicode.h"

namespace zanit {
namespace {

std::string& Logordner() {
    static std::string folder;
    return folder;
}

}  // namespace

int Tag(const QObject* object) { return object ? object->property("Tag").toInt() : 0; }

TWBApplication::TWBApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Problems of the settings store (a full disk at saving, a lock held by another process, damaged lines)
    // go to the log as well as to stderr.
    registry::SetReporter([](std::string_view message) {
        std::fprintf(stderr, "zanit settings store: %.*s\n", static_cast<int>(message.size()), message.data());
        Protokollieren(QStringLiteral("Einstellungen"),
                       QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    });
}

void TWBApplication::SetzeLogordner(const std::string& folder) { Logordner() = folder; }

void TWBApplication::Protokollieren(const QString& kind, const QString& message) {
    const std::string folder = Logordner().empty() ? OrdnerDerAnwendung() : Logordner();
    LogEintragSchreiben(folder, kind.toStdString(), message.toStdString(), std::time(nullptr));
}

void TWBApplication::FehlerMelden(const QString& kind, const QString& message) {
    Protokollieren(kind, message);
    if (MeldungProtokollieren(kind, message)) return;
    QMessageBox::critical(nullptr, QStringLiteral("zanit WB"), message);
}

bool TWBApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        FehlerMelden(QString::fromLatin1(typeid(e).name()), QString::fromUtf8(e.what()));
    } catch (...) {
        FehlerMelden(QStringLiteral("Ausnahme"), QStringLiteral("Unbekannter Fehler"));
    }
    return false;
}

bool TAppMessage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    // Only the control that has the key first, not the parents it propagates to.
    if (QApplication::focusWidget() && widget != QApplication::focusWidget()) return false;
    if (Tag(widget->window()) != kHauptfensterTag && Tag(widget) != kHauptfensterTag) return false;
    QKeyEvent f24(QEvent::KeyPress, Qt::Key_F24, key->modifiers());
    QCoreApplication::sendEvent(widget, &f24);
    return true;  // Return itself never reaches the control
}

}  // namespace zanit
