#pragma once
// The about dialog: product title, version line (a click toggles it with the build date), the rights notice,
// the maker's address lines and its e-mail and web addresses as links.
#include "ui/widgets/TOwnFenster.h"

class QLabel;
class QPushButton;

namespace zanit {

class TButtonLeiste;
class TVerweisLabel;

// The version line and the build date it toggles with.
inline constexpr const char* kVersion = "Version 1.82";
inline constexpr const char* kErstellungsdatum = "24.04.2009";

class TInfoDialog : public TOwnFenster {
    Q_OBJECT
public:
    explicit TInfoDialog(QWidget* parent = nullptr);

    QLabel* TitelLabel = nullptr;
    QLabel* VersionsLabel = nullptr;
    QLabel *RechteLabel = nullptr, *CopyLabel = nullptr;
    QLabel *Zeile1a = nullptr, *Zeile2a = nullptr, *Zeile3a = nullptr;
    QLabel *Zeile1b = nullptr, *Zeile2b = nullptr, *Zeile3b = nullptr;
    QLabel *MailTitelLabel = nullptr, *WebTitelLabel = nullptr;
    TVerweisLabel *MailLabel = nullptr, *WebLabel = nullptr;
    TButtonLeiste* buttonbox = nullptr;
    QPushButton* OkButton = nullptr;

    // Version and build date in turn.
    void VersionsLabelClick();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zanit
