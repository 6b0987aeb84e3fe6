// Tests the start-up rules: the executable's folder, the centring formula and the fatal
// error box's text.
#include <gtest/gtest.h>

#include "app/startup_rules.h"
#include "app/texts.h"

namespace varnelt {
namespace {

TEST(ExecutableFolder, CutsAtTheLastBackslash) {
  EXPECT_EQ(ExecutableFolder("C:\\Program Files\\Varnelt\\varnelt.exe"), "C:\\Program Files\\Varnelt");
  EXPECT_EQ(ExecutableFolder("Z:\\varnelt.exe"), "Z:");
  EXPECT_EQ(ExecutableFolder("varnelt.exe"), "");
  EXPECT_EQ(ExecutableFolder(""), "");
  EXPECT_EQ(ExecutableFolder("a/b\\c/d.exe"), "a/b");
}

TEST(CentredOrigin, MatchesTheScreens) {
  EXPECT_EQ(CentredOrigin(1024, 768), (Point{314, 248}));
  EXPECT_EQ(CentredOrigin(800, 600), (Point{202, 164}));
  EXPECT_EQ(CentredOrigin(397, 272), (Point{0, 0}));
  // A screen smaller than the window: the division truncates toward zero.
  EXPECT_EQ(CentredOrigin(395, 270), (Point{0, 0}));
  EXPECT_EQ(CentredOrigin(393, 268), (Point{-1, -1}));
}

TEST(FatalBoxText, HeadingCodeAndMessage) {
  const std::string heading = texts::kFatalHeading;
  const std::string code = texts::kErrorCodeLabel;
  const std::string message = texts::kErrorMessageLabel;
  EXPECT_EQ(FatalBoxText("", 0), heading);
  EXPECT_EQ(FatalBoxText(texts::kStartupWindowFailed, 0),
            heading + message + texts::kStartupWindowFailed + "\r\n");
  EXPECT_EQ(FatalBoxText("", -5), heading + code + "-5\r\n\r\n");
  EXPECT_EQ(FatalBoxText("m", 42), heading + code + "42\r\n\r\n" + message + "m\r\n");
}

TEST(Texts, AreTheExpectedGbkBytes) {
  EXPECT_EQ(sizeof texts::kUsage - 1, 216u);
  EXPECT_EQ(std::string(texts::kFatalHeading), "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n");
  EXPECT_EQ(std::string(texts::kBmpFilter).size(), 21u);
}

}  // namespace
}  // namespace varnelt
