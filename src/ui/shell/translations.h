#pragma once
// Qt's own texts (file dialogs, standard buttons, the line edits' menus) in the
// program's language, whatever language the desktop speaks.
class QCoreApplication;

namespace tavlin::ui {

// Loads Qt's Chinese translations from Qt's translations folder; false when they
// are not installed (Qt's texts then stay English).
bool InstallQtTranslations(QCoreApplication& app);

}  // namespace tavlin::ui
