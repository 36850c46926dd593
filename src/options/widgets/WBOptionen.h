#pragma once
// The options dialog: the three system-wide hotkeys, the automatic search and its delay, the font of the
// hit list, start-up behaviour, two notices and the dialog language. Created once and reused; its controls
// are loaded from the settings each time it is shown. While it is shown the hotkeys are off, so that keys
// typed into its hotkey fields do not trigger them; closing puts each back as it was.
#include <QStringList>
#include <array>
#include <functional>
#include <string>

#include "base/Einstellungen.h"
#include "options/Optionen.h"
#include "ui/widgets/TOwnFenster.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace zanit {

class TButtonLeiste;
class THotkeyFeld;

// What the dialog needs of the window's hotkeys (HotKey, HotKey1mit, HotKey2mit in this order).
struct Hotkeyzugang {
    std::function<std::array<bool, 3>()> zustaende;                    // active states
    std::function<void(const std::array<bool, 3>&)> zustaendeSetzen;   // each on or off
    std::function<std::array<int, 3>()> kuerzel;                       // current shortcuts
    std::function<bool(int kuerzel, std::string& fehler)> frei;         // could we claim it now?
};

// The spin buttons beside the delay field.
class TSpinKnoepfe : public QWidget {
    Q_OBJECT
public:
    explicit TSpinKnoepfe(QWidget* parent = nullptr);
    int Position() const { return position_; }
    void SetzePosition(int p);  // clamped to kVerzoegerungMin..kVerzoegerungMax
    QToolButton *Auf = nullptr, *Ab = nullptr;
signals:
    void geaendert(int position);

private:
    int position_ = kVerzoegerungMin;
};

class TOptionenDialog : public TOwnFenster {
    Q_OBJECT
public:
    explicit TOptionenDialog(QWidget* parent = nullptr);

    void SetzeHotkeyzugang(Hotkeyzugang zugang) { hotkeys_ = std::move(zugang); }
    // Shows the dialog modally for these settings and dialog language letter: 1 OK, 2 cancel.
    int Zeige(const Einstellungen& werte, char dialogbuchstabe);
    // The controls' values (meaningful after OK).
    Optionswerte Werte() const;
    const Sprachliste& Sprachen() const { return sprachen_; }

    QCheckBox* HotKeyCheck = nullptr;
    QLabel *Hotkey0Label = nullptr, *Hotkey1Label = nullptr, *Hotkey2Label = nullptr;
    THotkeyFeld *HKGen = nullptr, *HK1mit = nullptr, *HK2mit = nullptr;
    QLabel* HotkeyFehlerLabel = nullptr;  // a combination another program holds
    QCheckBox* DirektsucheCheck = nullptr;
    QLabel *SVLabel1 = nullptr, *SVLabel2 = nullptr;
    QLineEdit* svEdit = nullptr;
    TSpinKnoepfe* SVSpin = nullptr;
    QGroupBox* FontGroupBox = nullptr;
    QComboBox *Fontcombo = nullptr, *FontSizeCombo = nullptr;
    QCheckBox *AutoStartCheck = nullptr, *TrayCheck = nullptr, *SprachCheck = nullptr, *EndCheck = nullptr;
    QGroupBox* DialogspracheGroup = nullptr;
    QLabel* SprachenLabel = nullptr;
    QComboBox* DialogspracheCombo = nullptr;
    TButtonLeiste* buttonbox = nullptr;
    QPushButton *OkButton = nullptr, *AbbrechenButton = nullptr;

public slots:
    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormShow();
    void OkButtonClick();
    void HotKeyCheckClick();
    void DirektsucheCheckClick();
    void TexteSetzen();
    void SchriftenFuellen(const QString& name, int groesse);

    Hotkeyzugang hotkeys_;
    Einstellungen werte_;
    char buchstabe_ = 'D';
    Sprachliste sprachen_;
    std::array<bool, 3> gemerkt_{};
    bool gemerktGueltig_ = false;
};

}  // namespace zanit
