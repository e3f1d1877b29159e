// Every text the program shows or logs, written once in UTF-8. Core code converts with Cp932();
// the window shows them through QString. Each area keeps its texts in its own block below.
#pragma once

namespace zepa2::msg {

// ---- settings ----

// ---- start-up and main window ----

// ---- activity log ----

// ---- address check ----

// ---- publishing ----
inline constexpr const char* kSiteNotRegistered = ":サイトが登録されていません";
inline constexpr const char* kFtpStart = ":FTP開始";
inline constexpr const char* kFtpFileSucceeded = "/成功";
inline constexpr const char* kHomePageUpdated = "ホームページの更新に成功しました。";
inline constexpr const char* kFtpRefused = ":FTP失敗";
inline constexpr const char* kFtpFileFailed = "/失敗";
inline constexpr const char* kHomePageUpdateFailed = "ホームページの更新に失敗しました。";
inline constexpr const char* kTempFileNotOpened = "テンポラリーファイルがオープンできません。";
inline constexpr const char* kTemplateNotOpened = "ローカルファイルがオープンできません。";
inline constexpr const char* kSiteTestDone = "サイト：%d テスト完了";
inline constexpr const char* kGetAddressFirst = "先にグローバルＩＰを取得してください。";
inline constexpr const char* kTempPageNotOpened = "テンポラリが開けません。";
inline constexpr const char* kPageViewTitle = "確認ダイアログ";
inline constexpr const char* kPageViewClose = "閉じる";
inline constexpr const char* kPageViewPick = "実行";
inline constexpr const char* kPageViewPickHint = "目的のアドレスをコピーして貼り付けてください。";

// ---- scheduler and tray ----

// ---- router settings ----

// ---- FTP settings and site browser ----

// ---- page settings and pickers ----

}  // namespace zepa2::msg
