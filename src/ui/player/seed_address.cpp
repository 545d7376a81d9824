#include "ui/player/seed_address.h"

#include <QUrl>

namespace tavlin {

QString SeedBaseAddress(const QString& portal_base) {
  const QUrl base(portal_base);
  // Built as a URL rather than pasted together, so an IPv6 host keeps its brackets.
  QUrl seed;
  seed.setScheme(base.scheme());
  seed.setHost(base.host());
  seed.setPort(base.port());
  seed.setPath(QStringLiteral("/seed/"));
  return seed.toString();
}

}  // namespace tavlin
