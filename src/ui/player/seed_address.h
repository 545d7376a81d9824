#pragma once
// Where the stand-in fetches qvod items from.
#include <QString>

namespace tavlin {

// Origin of the portal base + "/seed/".
QString SeedBaseAddress(const QString& portal_base);

}  // namespace tavlin
