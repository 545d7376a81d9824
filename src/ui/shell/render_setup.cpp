#include "ui/shell/render_setup.h"

#include <QCoreApplication>
#include <QDir>

namespace tavlin::ui {

namespace {
bool HasGpuRenderNode() {
  return !QDir(QStringLiteral("/dev/dri")).entryList({QStringLiteral("renderD*")}, QDir::System).isEmpty();
}
}  // namespace

bool ChooseRenderBackend() {
  QByteArray backend = qgetenv("QT_QUICK_BACKEND");
  if (backend.isEmpty() && (!HasGpuRenderNode() || qEnvironmentVariableIntValue("LIBGL_ALWAYS_SOFTWARE") == 1)) {
    backend = "software";
    qputenv("QT_QUICK_BACKEND", backend);
  }
  const bool software = backend == "software";
  if (!software) QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  return software;
}

}  // namespace tavlin::ui
