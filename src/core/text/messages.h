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
inline constexpr const char* kPageSettingsTitle = "ＨＰの設定";
inline constexpr const char* kRewriteSwitch = "ホームページのＩＰ書き換え　有効／無効";
inline constexpr const char* kFolderSettingsGroup = "フォルダー設定";
inline constexpr const char* kSourceFolderLabel = "元フォルダー名";
inline constexpr const char* kOutputFolderLabel = "出力先フォルダー名";
inline constexpr const char* kPageSettingsBrowse = "参照";
inline constexpr const char* kCopyOutput = "コピー出力";
inline constexpr const char* kRewriteTargetsGroup = "ＩＰ書き換え対象";
inline constexpr const char* kHtmlFiles = "ＨＴＭＬファイル";
inline constexpr const char* kHtmFiles = "ＨＴＭファイル";
inline constexpr const char* kCgiFiles = "ＣＧＩファイル";
inline constexpr const char* kShtmlFiles = "ＳＨＴＭＬファイル";
inline constexpr const char* kPageSettingsOk = "設定";
inline constexpr const char* kPageSettingsCancel = "ｷｬﾝｾﾙ";
inline constexpr const char* kSpecifyFolders = "フォルダーを指定してください。";
inline constexpr const char* kFolderPickerTitle = "フォルダーの参照";
inline constexpr const char* kSelectedPathFormat = "選択中のパス：%s";
inline constexpr const char* kFolderPickerOk = "OK";
inline constexpr const char* kFolderPickerCancel = "キャンセル";

}  // namespace zepa2::msg
