#include "DocAbout.h"

#include "DocAboutFace.h"

namespace tarnwick::ui {

DocAbout::DocAbout(DocAboutFace &face)
    : m_face(face)
{
}

void DocAbout::CmdOK_Click()
{
    m_face.closeWindow();
}

} // namespace tarnwick::ui
