#include <gtest/gtest.h>

#include <QApplication>

#include "ui/shell/render_setup.h"

// One application for every test of the Qt layer; as the program starts, the web
// engine needs its render backend chosen before the application exists.
int main(int argc, char** argv) {
  tavlin::ui::ChooseRenderBackend();
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
