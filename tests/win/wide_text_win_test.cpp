// Tests the conversion of the program's GBK texts to UTF-16, which must not depend on the
// system's ANSI code page (this test also runs in an English locale).
#include <gtest/gtest.h>

#include "app/texts.h"
#include "app/wide_text_win.h"

namespace varnelt {
namespace {

TEST(WideFromGbk, ConvertsWhateverTheAnsiCodePage) {
  EXPECT_EQ(WideFromGbk(texts::kLoadButton), L"上传图片");
  EXPECT_EQ(WideFromGbk(texts::kSaveButton), L"保存图片");
  EXPECT_EQ(WideFromGbk(texts::kHelpBox), L"使用帮助");
  EXPECT_EQ(WideFromGbk(texts::kStartupWindowFailed), L"载入启动窗口失败");
  EXPECT_EQ(WideFromGbk("Varnelt"), L"Varnelt");
  EXPECT_EQ(WideFromGbk(""), L"");
  const std::wstring usage = WideFromGbk(texts::kUsage);
  EXPECT_EQ(usage.substr(0, 8), L"1.把要上传的素");
  EXPECT_EQ(usage.substr(usage.size() - 6), L"png格式)");
}

}  // namespace
}  // namespace varnelt
