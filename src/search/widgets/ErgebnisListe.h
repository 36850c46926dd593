#pragma once
// The hit list: one line per hit, the three columns (source word | translations | part of speech) drawn from
// the "|"-separated line text under a header with three sections. Each line carries its part-of-speech
// code as item data. The reverse list of the details dialog is the same list with two columns.
#include <QListWidget>
#include <QString>

class QHeaderView;
class QStandardItemModel;

namespace zanit {

class TErgebnisListe : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kCodeRolle = Qt::UserRole;

    explicit TErgebnisListe(QWidget* parent = nullptr, int spalten = 3);
    int Spaltenzahl() const { return spalten_; }

    // Field n (0-based) of a "|"-separated line; empty when the line has fewer fields.
    static QString Spalte(const QString& line, int n);

    void ZeileHinzufuegen(const QString& line, int code);
    int Code(int row) const;          // item data of a line (-1 outside the list)
    QString Zeile(int row) const;     // the whole line text (empty outside the list)

    QHeaderView* Kopf() const { return kopf_; }
    void SetzeKopftext(int section, const QString& text);
    QString Kopftext(int section) const;
    void SetzeSpaltenbreite(int section, int width);
    int Spaltenbreite(int section) const;

    void SetzeZeilenhoehe(int height);
    int Zeilenhoehe() const { return zeilenhoehe_; }

signals:
    void focusErhalten();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void KopfPlatzieren();
    QHeaderView* kopf_;
    QStandardItemModel* kopfModell_;
    int zeilenhoehe_ = 17;
    int spalten_ = 3;
};

}  // namespace zanit
