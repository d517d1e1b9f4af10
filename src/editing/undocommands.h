#pragma once

#include "configformat.h"

#include <QUndoCommand>
#include <functional>
#include <vector>

class AddOnListModel;
class Configuration;
class QUndoStack;

// One change to the toolbar or the add-on list, kept as the model operations that made it. Each operation is
// carried out as it is recorded, so the page reads the list as it now stands while it builds the change; the
// stack's first redo therefore does nothing, later redos replay the operations and undo reverts them in
// reverse order.
class ListChange : public QUndoCommand
{
public:
    bool isEmpty() const { return m_steps.empty(); }

    void redo() override;
    void undo() override;

protected:
    explicit ListChange(const QString &text);
    // Runs apply now and keeps both halves for redo and undo.
    void record(std::function<void()> apply, std::function<void()> revert);

private:
    struct Step
    {
        std::function<void()> apply;
        std::function<void()> revert;
    };

    std::vector<Step> m_steps;
    bool m_applied = true;
};

// Puts a change on the stack; one that changed nothing is dropped, so there is never an undo that does nothing.
void pushChange(QUndoStack *stack, ListChange *change);

// A change to the toolbar list. Pictures of bitmap files are kept by key as well as by index: a reset drops
// them from the picture list, and a redo after that must find (or load) the same picture again.
class ToolbarChange final : public ListChange
{
public:
    ToolbarChange(Configuration *config, const QString &text);

    void insert(int position, const ToolbarButtonEntry &entry);
    void remove(int position);
    void move(int from, int to);
    void replace(int position, const ToolbarButtonEntry &entry);
    // The default toolbar in place of the current one ("Reset Toolbar"); nothing when it is in place already.
    void resetToDefault();

private:
    struct Button
    {
        ToolbarButtonEntry entry;
        ButtonImageEntry picture; // empty key: a built-in picture or none
    };

    Button keep(const ToolbarButtonEntry &entry) const;
    ToolbarButtonEntry place(const Button &button) const;

    Configuration *m_config;
};

// A change to the add-on list. Rows are 0-based here, as in the model.
class AddOnChange final : public ListChange
{
public:
    AddOnChange(AddOnListModel *model, const QString &text);

    void insert(int row, const AddOnEntry &entry);
    void remove(int row);
    void move(int from, int to);
    void setCell(int row, int column, const QString &text);

private:
    AddOnListModel *m_model;
};
