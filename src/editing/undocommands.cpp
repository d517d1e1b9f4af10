#include "undocommands.h"

#include "configuration.h"

#include <QUndoStack>
#include <memory>
#include <ranges>
#include <utility>

ListChange::ListChange(const QString &text)
    : QUndoCommand(text)
{
}

void ListChange::record(std::function<void()> apply, std::function<void()> revert)
{
    apply();
    m_steps.push_back(Step { std::move(apply), std::move(revert) });
}

void ListChange::redo()
{
    if (std::exchange(m_applied, false))
        return;
    for (const Step &step : m_steps)
        step.apply();
}

void ListChange::undo()
{
    for (const Step &step : std::views::reverse(m_steps))
        step.revert();
}

void pushChange(QUndoStack *stack, ListChange *change)
{
    std::unique_ptr<ListChange> owned(change);
    if (!owned->isEmpty())
        stack->push(owned.release());
}

ToolbarChange::ToolbarChange(Configuration *config, const QString &text)
    : ListChange(text)
    , m_config(config)
{
}

ToolbarChange::Button ToolbarChange::keep(const ToolbarButtonEntry &entry) const
{
    const ButtonImageList *images = m_config->images();
    Button button { entry, {} };
    if (!entry.isSeparator && images->contains(entry.imageIndex) && !images->at(entry.imageIndex).builtIn)
        button.picture = images->at(entry.imageIndex);
    return button;
}

ToolbarButtonEntry ToolbarChange::place(const Button &button) const
{
    ToolbarButtonEntry entry = button.entry;
    ButtonImageList *images = m_config->images();
    if (!button.picture.key.isEmpty() && images->keyAt(entry.imageIndex) != button.picture.key) {
        entry.imageIndex = images->indexOfKey(button.picture.key);
        if (entry.imageIndex < 0)
            entry.imageIndex = images->add(button.picture);
    }
    return entry;
}

void ToolbarChange::insert(int position, const ToolbarButtonEntry &entry)
{
    ToolbarModel *model = m_config->toolbar();
    const Button button = keep(entry);
    record([this, model, position, button] { model->insert(position, place(button)); },
           [model, position] { model->remove(position); });
}

void ToolbarChange::remove(int position)
{
    ToolbarModel *model = m_config->toolbar();
    const Button button = keep(model->at(position));
    record([model, position] { model->remove(position); },
           [this, model, position, button] { model->insert(position, place(button)); });
}

void ToolbarChange::move(int from, int to)
{
    if (from == to)
        return;
    ToolbarModel *model = m_config->toolbar();
    record([model, from, to] { model->move(from, to); }, [model, from, to] { model->move(to, from); });
}

void ToolbarChange::replace(int position, const ToolbarButtonEntry &entry)
{
    ToolbarModel *model = m_config->toolbar();
    if (model->at(position) == entry)
        return;
    const Button before = keep(model->at(position));
    const Button after = keep(entry);
    record([this, model, position, after] { model->replace(position, place(after)); },
           [this, model, position, before] { model->replace(position, place(before)); });
}

void ToolbarChange::resetToDefault()
{
    ToolbarModel *model = m_config->toolbar();
    if (model->entries() == defaultToolbar())
        return;
    const QList<ToolbarButtonEntry> before = model->entries();
    const QList<ButtonImageEntry> pictures = m_config->images()->entries();
    Configuration *config = m_config;
    record([config] { ResetToolbar(*config); },
           [config, before, pictures] {
               // The reset dropped the pictures of bitmap files; the old toolbar's indexes need each back in its
               // own place. Pictures loaded since belong to changes already undone, which find them again by key.
               ButtonImageList *images = config->images();
               int same = 0;
               while (same < images->count() && same < pictures.size() && images->at(same) == pictures[same])
                   ++same;
               images->removeFrom(same);
               for (int i = same; i < pictures.size(); ++i)
                   images->add(pictures[i]);
               config->toolbar()->reset(before);
           });
}

AddOnChange::AddOnChange(AddOnListModel *model, const QString &text)
    : ListChange(text)
    , m_model(model)
{
}

void AddOnChange::insert(int row, const AddOnEntry &entry)
{
    AddOnListModel *model = m_model;
    record([model, row, entry] { model->insertAddOn(row, entry); }, [model, row] { model->removeAddOn(row); });
}

void AddOnChange::remove(int row)
{
    AddOnListModel *model = m_model;
    const AddOnEntry entry = model->at(row);
    record([model, row] { model->removeAddOn(row); }, [model, row, entry] { model->insertAddOn(row, entry); });
}

void AddOnChange::move(int from, int to)
{
    if (from == to)
        return;
    AddOnListModel *model = m_model;
    record([model, from, to] { model->moveAddOn(from, to); }, [model, from, to] { model->moveAddOn(to, from); });
}

void AddOnChange::setCell(int row, int column, const QString &text)
{
    AddOnListModel *model = m_model;
    const QString before = model->cellText(row, column);
    if (before == text)
        return;
    record([model, row, column, text] { model->setCellText(row, column, text); },
           [model, row, column, before] { model->setCellText(row, column, before); });
}
