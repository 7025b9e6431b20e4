// Small pieces the report-list windows share: the in-place editor of chosen columns and the
// letter icons that mark list rows.
#pragma once

#include <QAbstractItemModel>
#include <QColor>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QStyledItemDelegate>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

// A small square of a colour with a white letter on it.
inline QIcon LetterIcon(const QColor& colour, const QString& letter) {
    QPixmap p(16, 16);
    p.fill(colour);
    QPainter g(&p);
    g.setPen(Qt::white);
    g.drawText(p.rect(), Qt::AlignCenter, letter);
    return QIcon(p);
}

// The in-place editor of a report list: only the given columns take an edit. Enter, or leaving
// the editor, hands the typed text to the window; Esc drops it and the cell keeps its text. The
// cell shows what the window's logic made of the text once the window shows its state again.
class CellEditDelegate : public QStyledItemDelegate {
public:
    using Commit = std::function<void(int row, int column, const std::string& text)>;

    CellEditDelegate(std::vector<int> columns, Commit commit, QObject* parent)
        : QStyledItemDelegate(parent), columns_(std::move(columns)), commit_(std::move(commit)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        if (std::find(columns_.begin(), columns_.end(), index.column()) == columns_.end())
            return nullptr;
        auto* edit = new QLineEdit(parent);
        edit->setObjectName("FloatEdit");
        return edit;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* edit = static_cast<QLineEdit*>(editor);
        edit->setText(index.data().toString());
        edit->selectAll();
    }
    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        // At once, so that a button clicked away from the editor sees the text; a message box of
        // a refusal takes the focus from the editor, whose second commit is not taken again.
        if (committing_)
            return;
        committing_ = true;
        commit_(index.row(), index.column(), static_cast<QLineEdit*>(editor)->text().toStdString());
        committing_ = false;
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        // As wide as the column, but at least 10 pixels; two pixels higher than the row.
        QRect r = option.rect;
        r.setWidth(std::max(r.width(), 10));
        r.setHeight(r.height() + 2);
        editor->setGeometry(r);
    }

private:
    std::vector<int> columns_;
    Commit commit_;
    mutable bool committing_ = false;
};
