#pragma once

#include <QObject>

// Keeps Copy, Cut and Paste with the text field that has the focus. The lamp
// editors' entry fields hand every key press to their parent widget before
// editing; Qt treats such a handed-on press as a new one and looks for a
// window shortcut again, so without this filter on the window Ctrl+C, Ctrl+X
// and Ctrl+V in an entry field would also copy, cut or paste a whole scene.
class TextFieldShortcuts : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
