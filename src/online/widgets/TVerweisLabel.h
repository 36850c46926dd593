#pragma once
// A link label: it shows a text and, when clicked, opens its target (a "mailto:" or web address, or a
// local help page) through the desktop's URL handlers. When the desktop cannot open it, the link is
// switched off for the rest of the label's showing and later clicks do nothing; no message is shown.
#include <QLabel>
#include <QString>

namespace zanit {

// Opens an address through the desktop (QDesktopServices); false when nothing could take it.
bool AdresseOeffnen(const QString& adresse);

class TVerweisLabel : public QLabel {
    Q_OBJECT
public:
    explicit TVerweisLabel(QWidget* parent = nullptr);

    void SetzeZiel(const QString& ziel) { ziel_ = ziel; }
    const QString& Ziel() const { return ziel_; }
    // False once an opening failed; true again with Einschalten (a new showing).
    bool Aktiv() const { return aktiv_; }
    void Einschalten() { aktiv_ = true; }
    // Opens the target unless the link is switched off; false when nothing was opened.
    bool Oeffnen();

signals:
    void geoeffnet(const QString& ziel);

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    QString ziel_;
    bool aktiv_ = true;
};

}  // namespace zanit
