#include "toolbareditorpage.h"

#include "frmeditor.h"

ToolbarEditorPage::ToolbarEditorPage(frmEditor *editor)
    : QObject(editor)
    , m_editor(editor)
{
}

void ToolbarEditorPage::CancelButtonEdit()
{
}
