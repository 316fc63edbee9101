#pragma once

#include <QString>

// Text that came from a unit (a serial string, a version text) or passed
// through one of its messages may hold control characters: an escape
// sequence in a serial would recolour, move or clear the reader's terminal,
// or hide the lines before it. vt520ctl writes every line through here, so
// that such characters show as what they are.
namespace VisibleText {

// A text line for standard output or standard error: C0 controls but line
// ends and tabs, DEL and the C1 controls (U+0080 to U+009F) as \xNN
// ("\x1b" for ESC). Text without them is returned unchanged.
QString ofText(const QString &text);

// A JSON document as QJsonDocument writes it, which escapes the C0 controls
// in its strings but leaves DEL and the C1 controls as they are: those as
// \u00NN, which JSON reads back as the same characters.
QString ofJson(const QString &json);

} // namespace VisibleText
