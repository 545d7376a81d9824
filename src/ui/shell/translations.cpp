#include "ui/shell/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tavlin::ui {

namespace {

// The open dialog names its button "打开"; while a folder's name is typed Qt puts
// its own word there ("&Open", "打开(&O)" in its translation). The program's word
// stays, so the button does not change under the user's eyes. Qt's translations
// also miss the file types of the dialog's list (they moved to a class of Qt 6).
class ProgramWords final : public QTranslator {
 public:
  using QTranslator::QTranslator;
  QString translate(const char* context, const char* source, const char*, int) const override {
    struct Word {
      const char* context;
      const char* source;
      const char* text;
    };
    static constexpr Word kWords[] = {
        {"QFileDialog", "&Open", "打开"},
        {"QAbstractFileIconProvider", "Folder", "文件夹"},
        {"QAbstractFileIconProvider", "Drive", "驱动器"},
        {"QAbstractFileIconProvider", "File", "文件"},
    };
    for (const Word& w : kWords) {
      if (qstrcmp(context, w.context) == 0 && qstrcmp(source, w.source) == 0) return QString::fromUtf8(w.text);
    }
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
