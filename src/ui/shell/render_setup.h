#pragma once
// Chooses how the window and its web views are drawn; call before the application
// object exists.
namespace tavlin::ui {

// Without a GPU render node the only OpenGL is Mesa's software rasteriser, which
// costs tens of MiB per process for no speed: then Qt Quick's software renderer draws
// the web views (Qt WebEngine composites in software with it) and no OpenGL context
// is created at start. With a GPU, the views share OpenGL contexts as Qt WebEngine
// expects. QT_QUICK_BACKEND, when set, is respected. Returns true for software.
bool ChooseRenderBackend();

}  // namespace tavlin::ui
