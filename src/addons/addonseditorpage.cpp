#include "addonseditorpage.h"

#include "frmeditor.h"

AddOnsEditorPage::AddOnsEditorPage(frmEditor *editor)
    : QObject(editor)
    , m_editor(editor)
{
}

bool AddOnsEditorPage::endCommandLineEdit()
{
    return false;
}
