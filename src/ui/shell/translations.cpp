#include "ui/shell/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tavlin::ui {

namespace {

// The open dialog names its button "打开"; while a folder's name is typed Qt puts
// its own word there ("&Open", "打开(&O)" in its translation). The program's word
// stays, so the button does not change under the user's eyes.
class ProgramWords final : public QTranslator {
 public:
  using QTranslator::QTranslator;
  QString translate(const char* context, const char* source, const char*, int) const override {
    if (qstrcmp(context, "QFileDialog") == 0 && qstrcmp(source, "&Open") == 0) return QStringLiteral("打开");
    return {};
  }
  bool isEmpty() const override { return false; }
};

}  // namespace

bool InstallQtTranslations(QCoreApplication& app) {
  const QLocale chinese(QLocale::Chinese, QLocale::China);
  // Dates and sizes in the file dialogs follow the default locale.
  QLocale::setDefault(chinese);
  auto* qtWords = new QTranslator(&app);
  const bool loaded = qtWords->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                                    QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (loaded) QCoreApplication::installTranslator(qtWords);
  else delete qtWords;
  // Installed last, asked first.
  QCoreApplication::installTranslator(new ProgramWords(&app));
  return loaded;
}

}  // namespace tavlin::ui
