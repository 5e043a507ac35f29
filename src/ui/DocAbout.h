#pragma once

namespace tarnwick::ui {

class DocAboutFace;

// The About box's behaviour: "OK" closes it, and nothing else does anything.
class DocAbout final
{
public:
    explicit DocAbout(DocAboutFace &face);

    void CmdOK_Click();

private:
    DocAboutFace &m_face;
};

} // namespace tarnwick::ui
