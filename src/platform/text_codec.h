#pragma once

#include <QByteArray>
#include <QString>

namespace pelorix::platform {

// Windows-1252, the code page of the text files shared with the other Pelorix programs.
// Bytes without a character (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to the control character of
// the same number, as Windows does; characters the code page cannot hold encode as "?".
QString decodeAnsi(const QByteArray& bytes);
QByteArray encodeAnsi(const QString& text);

}  // namespace pelorix::platform
