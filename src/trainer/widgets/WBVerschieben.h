#pragma once
// The transfer dialog: the collection tree of the open dictionary's foreign language, the lessons of the
// selected collection, and a button for a new lesson. It lives as long as the process; its tree is kept from
// showing to showing until the dictionary changes.
#include <QIcon>
#include <string>
#include <vector>

#include "trainer/Uebertragung.h"
#include "ui/widgets/TOwnFenster.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zanit {

class TButtonLeiste;

class TVerschiebenDialog : public TOwnFenster {
    Q_OBJECT
public:
    static constexpr int kNummerRolle = Qt::UserRole;  // lesson number of a lesson item
    static constexpr int kDateiRolle = Qt::UserRole;   // DATEI of a collection node (Windows-1252 bytes)

    explicit TVerschiebenDialog(QWidget* owner = nullptr);

    // Builds the collection tree for the foreign language; false (root only) when no collection exists.
    bool BaumAufbauen(const std::string& sammlungsordner, std::string_view textF, int wurzelbild);

    TSammlung& Sammlung() { return sammlung_; }
    int Ziellektion() const { return ziel_; }
    bool LektionenHinzugefuegt() const { return hinzugefuegt_; }

    QLabel *ObenLabel = nullptr, *VokabelnLabel = nullptr, *LektionenLabel = nullptr;
    QTreeWidget* VerschiebenBaum = nullptr;
    QListWidget* LektionenBox = nullptr;
    QPushButton *NeuButton = nullptr, *OkButton = nullptr, *AbbrechenButton = nullptr;
    TButtonLeiste* buttonbox = nullptr;  // OK and cancel, painted over the two small buttons
    // The pictures of the tree: language flags by the root image numbers, 27 group, 28 collection.
    std::vector<QIcon> SmallImage;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormShow();
    void VerschiebenBaumChange();
    void OkButtonClick();
    void NeuButtonClick();
    void FuelleLektionen();

    std::string ordner_;
    TSammlung sammlung_;
    int ziel_ = 0;
    bool hinzugefuegt_ = false;
};

// The image list of the tree (see TVerschiebenDialog::SmallImage).
std::vector<QIcon> SammlungsBilder();

}  // namespace zanit
