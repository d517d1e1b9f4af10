#pragma once

#include <QObject>

class frmEditor;

// The "Add-Ons Editor" page: the grid's in-place editors, moves, new, delete and the program browse.
class AddOnsEditorPage final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddOnsEditorPage)

public:
    explicit AddOnsEditorPage(frmEditor *editor);

    // Ends an open command-line edit without writing what was typed; returns whether one was open.
    bool endCommandLineEdit();

private:
    frmEditor *m_editor;
};
