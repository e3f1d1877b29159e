// Every text the program shows or logs, written once in UTF-8. Core code converts with Cp932();
// the window shows them through QString. Each area keeps its texts in its own block below.
#pragma once

namespace zepa2::msg {

// ---- settings ----

// ---- start-up and main window ----
inline constexpr const char* kProductName = "ZEPA2";
inline constexpr const char* kMainCaption = "-ZEPA2-";
inline constexpr const char* kVersionText = "Ver 1.12";
inline constexpr const char* kAlreadyRunning = "２重起動はできません。";
inline constexpr const char* kNoDisplay =
    "zepa2: no display to show the window on (set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM)";
inline constexpr const char* kLockUnavailable =
    "zepa2: cannot open the single-instance lock file; starting without it";
inline constexpr const char* kIntervalInvalid = "更新周期には 0 から 9999 までの整数を入力してください。";
inline constexpr const char* kGetZepaCaption = "Get Zepa!";
inline constexpr const char* kStartMinimizedCaption = "起動時に最小化";
inline constexpr const char* kRunAtStartCaption = "起動時に実行";
inline constexpr const char* kLocalAddressCaption = "ローカルＩＰを使用する";
inline constexpr const char* kDecimalAddressCaption = "ＩＰを１０進化";
inline constexpr const char* kUnitCaption = "秒";
inline constexpr const char* kApplyCaption = "設定";
inline constexpr const char* kRouterSettingsCaption = "WWW設定";
inline constexpr const char* kFtpSettingsCaption = "ＦＴＰ設定";
inline constexpr const char* kPageSettingsCaption = "ＨＰ設定";
inline constexpr const char* kClearLogCaption = "表示リセット";
inline constexpr const char* kBrowserCaption = "ブラウザで確認";
inline constexpr const char* kQuitCaption = "終了";
inline constexpr const char* kIntervalCaption = "更新周期";
inline constexpr const char* kAddressCaption = "現在のＩＰアドレス";
inline constexpr const char* kConversionTestCaption = "変換テスト";

// ---- activity log ----
inline constexpr const char* kStartedNormally = "正常起動しました";

// ---- address check ----

// ---- publishing ----

// ---- scheduler and tray ----

// ---- router settings ----

// ---- FTP settings and site browser ----

// ---- page settings and pickers ----

}  // namespace zepa2::msg
