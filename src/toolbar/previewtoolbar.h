#pragma once

#include <QObject>

class Toolbar;
class ToolbarModel;
struct ToolbarButtonEntry;

// Keeps the preview toolbar showing the toolbar model: every change of the model reaches the buttons.
class PreviewToolbar final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PreviewToolbar)

public:
    PreviewToolbar(ToolbarModel *model, Toolbar *toolbar, QObject *parent = nullptr);

    Toolbar *toolbar() const { return m_toolbar; }

private:
    void rebuild();
    void insertButton(int position);
    void updateButton(int position);

    ToolbarModel *m_model;
    Toolbar *m_toolbar;
};
