// Every text the program shows or logs, written once in UTF-8. Core code converts with Cp932();
// the window shows them through QString. Each area keeps its texts in its own block below.
#pragma once

namespace zepa2::msg {

// ---- settings ----
inline constexpr const char* kBadPasswordChar = "パスワード文字列に使用できない文字があります。";
inline constexpr const char* kSettingsSaveFailed = "設定を保存できませんでした。\n%1";
inline constexpr const char* kSettingsFolderFailed = "フォルダを作成できません";
inline constexpr const char* kSettingsTemporaryFailed = "一時ファイルを作成できません";
inline constexpr const char* kSettingsWriteFailed = "書き込めません";
inline constexpr const char* kSettingsSyncFailed = "ディスクに書き込めません";
inline constexpr const char* kSettingsRenameFailed = "ファイルを置き換えられません";

// ---- start-up and main window ----

// ---- activity log ----

// ---- address check ----

// ---- publishing ----

// ---- scheduler and tray ----

// ---- router settings ----

// ---- FTP settings and site browser ----

// ---- page settings and pickers ----

}  // namespace zepa2::msg
