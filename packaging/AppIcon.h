#pragma once

#include <QIcon>

namespace bingo::packaging {

/// The program's icon at every size it ships, 16 to 256 px, read from the resources under
/// ":/icons".
[[nodiscard]] QIcon applicationIcon();

} // namespace bingo::packaging
