#pragma once
// The application object: every exception that escapes an event handler is caught here, written to
// "WB.log" in the program folder and shown in the default error display; and the application-wide key hook
// that turns Return into F24 inside the main window so that Return anywhere there starts a search.
#include <QApplication>
#include <QString>
#include <exception>

namespace zanit {

// The main window's tag; the key hook looks for it on the receiving window or control.
inline constexpr int kHauptfensterTag = 11;

// The Tag of a widget (its "Tag" property; 0 when unset).
int Tag(const QObject* object);

class TWBApplication : public QApplication {
    Q_OBJECT
public:
    TWBApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Writes an error to the log and shows it (the default error display). Public for the entry point.
    static void FehlerMelden(const QString& kind, const QString& message);
    // Writes an error to the log only (the caller shows its own message).
    static void Protokollieren(const QString& kind, const QString& message);
    // Folder the log is written to (default: the folder of the executable).
    static void SetzeLogordner(const std::string& folder);
};

// AppMessage: the key filter, installed on the application by the main window.
class TAppMessage : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zanit
