#include "search/widgets/ErgebnisListe.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyledItemDelegate>

namespace zanit {
namespace {

// Draws the columns of a line at the header's section positions.
class SpaltenDelegate : public QStyledItemDelegate {
public:
    explicit SpaltenDelegate(TErgebnisListe* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString line = opt.text;
        opt.text.clear();
        const QWidget* w = opt.widget;
        QStyle* style = w ? w->style() : nullptr;
        if (style) style->drawControl(QStyle::CE_ItemViewItem, &opt, p, w);
        p->save();
        p->setPen(opt.palette.color((opt.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                         : QPalette::Text));
        p->setFont(opt.font);
        const QHeaderView* head = list_->Kopf();
        for (int c = 0; c < list_->Spaltenzahl(); ++c) {
            const int x = head->sectionViewportPosition(c) - list_->horizontalScrollBar()->value();
            QRect cell(opt.rect.left() + x + 2, opt.rect.top(), head->sectionSize(c) - 4, opt.rect.height());
            p->setClipRect(cell.intersected(opt.rect));
            p->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, TErgebnisListe::Spalte(line, c));
        }
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return QSize(list_->Kopf()->length(), list_->Zeilenhoehe());
    }

private:
    TErgebnisListe* list_;
};

}  // namespace

TErgebnisListe::TErgebnisListe(QWidget* parent, int spalten) : QListWidget(parent), spalten_(spalten) {
    setObjectName(QStringLiteral("ErgebnisListe"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    kopfModell_ = new QStandardItemModel(0, spalten_, this);
    kopf_ = new QHeaderView(Qt::Horizontal, this);
    kopf_->setObjectName(QStringLiteral("ErgebnisListeKopf"));
    kopf_->setModel(kopfModell_);
    kopf_->setSectionResizeMode(QHeaderView::Interactive);
    kopf_->setStretchLastSection(false);
    kopf_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    kopf_->setSectionsClickable(false);
    for (int c = 0; c < spalten_; ++c) kopf_->resizeSection(c, 100);
    connect(kopf_, &QHeaderView::sectionResized, viewport(), [this] { viewport()->update(); });
    setItemDelegate(new SpaltenDelegate(this));
    KopfPlatzieren();
}

QString TErgebnisListe::Spalte(const QString& line, int n) {
    qsizetype start = 0;
    for (int i = 0; i < n; ++i) {
        const qsizetype sep = line.indexOf(QChar('|'), start);
        if (sep < 0) return {};
        start = sep + 1;
    }
    const qsizetype end = line.indexOf(QChar('|'), start);
    return line.mid(start, end < 0 ? -1 : end - start);
}

void TErgebnisListe::ZeileHinzufuegen(const QString& line, int code) {
    auto* item = new QListWidgetItem(line);
    item->setData(kCodeRolle, code);
    addItem(item);
}

int TErgebnisListe::Code(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(kCodeRolle).toInt() : -1;
}

QString TErgebnisListe::Zeile(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->text() : QString();
}

void TErgebnisListe::SetzeKopftext(int section, const QString& text) {
    kopfModell_->setHeaderData(section, Qt::Horizontal, text);
}

QString TErgebnisListe::Kopftext(int section) const {
    return kopfModell_->headerData(section, Qt::Horizontal).toString();
}

void TErgebnisListe::SetzeSpaltenbreite(int section, int width) { kopf_->resizeSection(section, std::max(0, width)); }

int TErgebnisListe::Spaltenbreite(int section) const { return kopf_->sectionSize(section); }

void TErgebnisListe::SetzeZeilenhoehe(int height) {
    zeilenhoehe_ = std::max(1, height);
    doItemsLayout();
    viewport()->update();
}

void TErgebnisListe::KopfPlatzieren() {
    const int h = kopf_->sizeHint().height();
    setViewportMargins(0, h, 0, 0);
    const QRect vg = viewport()->geometry();
    kopf_->setGeometry(vg.left(), vg.top() - h, vg.width(), h);
}

void TErgebnisListe::resizeEvent(QResizeEvent* e) {
    QListWidget::resizeEvent(e);
    KopfPlatzieren();
}

void TErgebnisListe::focusInEvent(QFocusEvent* e) {
    QListWidget::focusInEvent(e);
    emit focusErhalten();
}

void TErgebnisListe::scrollContentsBy(int dx, int dy) {
    QListWidget::scrollContentsBy(dx, dy);
    kopf_->setOffset(horizontalScrollBar()->value());
}

}  // namespace zanit
