#pragma once

#include "addonreferences.h"

#include <QObject>
#include <QStringList>

class AddOnListModel;
class Toolbar;
class ToolbarModel;
struct ToolbarButtonEntry;

// Keeps the preview toolbar showing the toolbar model: every change of the model reaches the buttons. Buttons
// whose add-on command refers to no add-on of the list, and buttons whose name a save cannot keep apart from
// another's, carry a mark, kept current as either list changes.
class PreviewToolbar final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PreviewToolbar)

public:
    PreviewToolbar(ToolbarModel *model, AddOnListModel *addOns, Toolbar *toolbar, QObject *parent = nullptr);

    Toolbar *toolbar() const { return m_toolbar; }

private:
    void rebuild();
    void insertButton(int position);
    void updateButton(int position);
    void updateMark(int position);
    void updateMarks();
    void updateReferences();

    ToolbarModel *m_model;
    AddOnListModel *m_addOns;
    Toolbar *m_toolbar;
    AddOnReferences m_references;
    QStringList m_keyWarnings; // one per position
};
