#pragma once

#include <QFont>

namespace pelorix::i18n {

// MS Sans Serif 8.25 pt, the font the windows were laid out in. Where the Windows fonts are
// missing, their metric-compatible stand-ins keep captions in the widths they were given.
QFont formFont(bool bold = false);

}  // namespace pelorix::i18n
