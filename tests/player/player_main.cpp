// gtest main with the Qt application the stand-in needs.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");  // libmpv refuses to start otherwise
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
