#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

// The grid's in-place editors, one per column: a text box for the name; a text box with a "..." button for the
// command line; the list of the four parameter choices. Enter (or picking an item) stores, Escape drops. A name
// or parameters edit is dropped when the focus leaves it; a command-line edit stays open, so that its "..." can
// be pressed. Nothing is written to the model here: a store is reported by editStored, and the page makes it an
// undoable change.
class AddOnDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddOnDelegate)

public:
    explicit AddOnDelegate(QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

    bool isEditing() const { return !m_editor.isNull(); }
    // The cell of the open editor.
    QModelIndex editedCell() const { return m_cell; }
    // Stores the open editor's text into its cell, as Enter (or picking the item) would, and closes it.
    void storeEdit();
    // Closes the open editor without storing anything.
    void cancelEdit();

Q_SIGNALS:
    void editStored(const QModelIndex &cell, const QString &text);
    void browseRequested();
    // An editor opened or closed, or the text typed into it changed (what undo does depends on both).
    void editingChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *nameEditor(QWidget *parent) const;
    QWidget *commandEditor(QWidget *parent) const;
    QWidget *parametersEditor(QWidget *parent) const;
    QString editorText() const;
    bool filterParametersEvent(QEvent *event);

    mutable QPointer<QWidget> m_editor;
    mutable QPersistentModelIndex m_cell;
    bool m_storing = false;
    bool m_movingInParameters = false; // a key or wheel turn on the closed list moves, it does not pick
};
