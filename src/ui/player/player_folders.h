#pragma once
// Where the stand-in keeps its settings and downloads, and where it fetches from.
#include <QString>

namespace tavlin {

// The program folder (as the rest of the program finds it), ending in "/".
QString PlayerProgramFolder();
// The stand-in's own folder: the program folder's "Qvod/".
QString PlayerQvodFolder();
// "Defaultsavepath" of QvodPlayer.xml in the Qvod folder (first line holding it,
// text between its quotes), else $HOME/Media/. Always ends in "/". Writes the file
// with the default entry when it is missing, so the settings dialog finds one.
QString DownloadFolder();
// PortalBase: TAVLIN_PORTAL, else the demo portal's default address.
QString PortalBaseAddress();
// Origin of the portal base + "/seed/".
QString SeedBaseAddress(const QString& portal_base);

}  // namespace tavlin
