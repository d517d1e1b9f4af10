#pragma once

#include <QObject>

class frmEditor;

// The "Toolbar Editor" page: the preview's button menu and the Selected Button Info panel.
class ToolbarEditorPage final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolbarEditorPage)

public:
    explicit ToolbarEditorPage(frmEditor *editor);

    // Abandons an edit of the selected button in progress: the panel closes and nothing is written.
    void CancelButtonEdit();

private:
    frmEditor *m_editor;
};
