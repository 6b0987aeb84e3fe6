#pragma once
// The program's own texts, as GBK (code page 936) bytes. They stay byte strings: they go
// into the layout records as they are, and are converted to UTF-16 only where they reach
// the screen, so they show right whatever the system's ANSI code page is.

namespace varnelt::texts {

// 1.把要上传的素材大小调整为141*226 … 所以用png格式) — four numbered points, CR LF breaks.
inline constexpr char kUsage[] =
    "1.\xB0\xD1\xD2\xAA\xC9\xCF\xB4\xAB\xB5\xC4\xCB\xD8\xB2\xC4\xB4\xF3\xD0\xA1\xB5\xF7\xD5\xFB\xCE\xAA"
    "141*226\r\n\r\n"
    "2.\xC8\xBB\xBA\xF3\xB5\xE3\xBB\xF7\xC9\xCF\xB4\xAB\xCD\xBC\xC6\xAC,\xC9\xCF\xB4\xAB\xC4\xE3\xB5\xC4"
    "\xCB\xD8\xB2\xC4.\r\n\r\n"
    "3.\xB1\xA3\xB4\xE6\xCD\xBC\xC6\xAC,\xB1\xA3\xB4\xE6\xC8\xCE\xD2\xE2\xCE\xBB\xD6\xC3.\r\n\r\n"
    "4.\xB1\xA3\xB4\xE6\xBA\xF3\xB5\xC4\xCD\xBC\xC6\xAC\xCA\xC7"
    "bmp\xB8\xF1\xCA\xBD\xB5\xC4,\xB4\xF3\xBC\xD2\xD3\xC3\xB1\xBE\xBB\xFA\xD7\xD4\xB4\xF8\xB5\xC4\xBB\xAD"
    "\xCD\xBC\xB4\xF2\xBF\xAA\xB1\xA3\xB4\xE6\xBA\xC3\xB5\xC4\xCB\xD8\xB2\xC4,\xC8\xBB\xBA\xF3\xC1\xED"
    "\xB4\xE6\xCE\xAApng\xBC\xB4\xBF\xC9(png\xCA\xC7\xB1\xA3\xB4\xE6\xB8\xDF\xC7\xE5\xCD\xBC\xC6\xAC\xB5"
    "\xC4,\xCB\xF9\xD2\xD4\xD3\xC3png\xB8\xF1\xCA\xBD)";

inline constexpr char kLoadButton[] = "\xC9\xCF\xB4\xAB\xCD\xBC\xC6\xAC";  // 上传图片
inline constexpr char kSaveButton[] = "\xB1\xA3\xB4\xE6\xCD\xBC\xC6\xAC";  // 保存图片
inline constexpr char kHelpBox[] = "\xCA\xB9\xD3\xC3\xB0\xEF\xD6\xFA";     // 使用帮助
inline constexpr char kCredit[] = "Varnelt\xB3\xF6\xC6\xB7";               // Varnelt出品
inline constexpr char kContact[] = "\xCE\xA2\xD0\xC5\xA3\xBAvarnelt";      // 微信：varnelt
inline constexpr char kWindowTitle[] = "Varnelt";

// The fatal error box.
inline constexpr char kErrorCaption[] = "\xB4\xED\xCE\xF3";                               // 错误
inline constexpr char kFatalHeading[] = "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n";  // 运行时出错!
inline constexpr char kErrorCodeLabel[] = "\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB\xA3\xBA";      // 错误代码：
inline constexpr char kErrorMessageLabel[] = "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA";   // 错误信息：
// 载入窗口模板数据段出错!
inline constexpr char kLayoutUnreadable[] =
    "\xD4\xD8\xC8\xEB\xB4\xB0\xBF\xDA\xC4\xA3\xB0\xE5\xCA\xFD\xBE\xDD\xB6\xCE\xB3\xF6\xB4\xED!";
// 载入启动窗口失败
inline constexpr char kStartupWindowFailed[] = "\xD4\xD8\xC8\xEB\xC6\xF4\xB6\xAF\xB4\xB0\xBF\xDA\xCA\xA7\xB0\xDC";
// 分配 %d 字节内存失败!
inline constexpr char kOutOfMemoryFormat[] = "\xB7\xD6\xC5\xE4 %d \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!";

// The save dialog's filter: BMP图片(*.bmp)|*.bmp|
inline constexpr char kBmpFilter[] = "BMP\xCD\xBC\xC6\xAC(*.bmp)|*.bmp|";

// Unit names of the main window's layout.
inline constexpr char kNameFramePanel[] = "\xCD\xBC\xC6\xAC\xBF\xF2" "1";     // 图片框1
inline constexpr char kNamePhotoSlot[] = "\xCD\xBC\xC6\xAC\xBF\xF2" "2";      // 图片框2
inline constexpr char kNameBadge[] = "\xCD\xBC\xC6\xAC\xBF\xF2" "3";          // 图片框3
inline constexpr char kNameLoadButton[] = "\xB0\xB4\xC5\xA5" "1";             // 按钮1
inline constexpr char kNameOpenDialog[] = "\xCD\xA8\xD3\xC3\xB6\xD4\xBB\xB0\xBF\xF2" "1";  // 通用对话框1
inline constexpr char kNameSaveDialog[] = "\xCD\xA8\xD3\xC3\xB6\xD4\xBB\xB0\xBF\xF2" "2";  // 通用对话框2
inline constexpr char kNameSaveButton[] = "\xB0\xB4\xC5\xA5" "2";             // 按钮2
inline constexpr char kNameCredit[] = "\xB1\xEA\xC7\xA9" "1";                 // 标签1
inline constexpr char kNameContact[] = "\xB1\xEA\xC7\xA9" "2";                // 标签2
inline constexpr char kNameHelpBox[] = "\xB7\xD6\xD7\xE9\xBF\xF2" "1";        // 分组框1
inline constexpr char kNameUsage[] = "\xB1\xEA\xC7\xA9" "3";                  // 标签3

}  // namespace varnelt::texts
