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
inline constexpr const char* kServerConnectStart = "サーバ接続開始";      // behind the server
inline constexpr const char* kServerConnected = ":サーバ接続成功";         // behind the server
inline constexpr const char* kServerDisconnected = ":サーバを切断";        // behind the server
inline constexpr const char* kAddressSearchStart = "IPアドレス検索開始";
inline constexpr const char* kAddressNotFound = "IPアドレス取得失敗";
inline constexpr const char* kAddressFound = "IPアドレス取得成功";
inline constexpr const char* kRouterConversionFailed = "アドレスの変換に失敗しました。";
inline constexpr const char* kRouterConversionOpen = "アドレス変換(";     // dotted->decimal)
inline constexpr const char* kRouterConversionClose = ")";
inline constexpr const char* kLocalAddressError = "ローカルアドレス取得エラー";
inline constexpr const char* kLocalAddressObtained = "ローカルアドレス取得";
inline constexpr const char* kLocalConversionFailed = "ＩＰアドレスの変換に失敗しました。";
inline constexpr const char* kLocalConversionOpen = "アドレス変換<";      // dotted->decimal>…
inline constexpr const char* kLocalConversionClose = ">に成功しました。";
inline constexpr const char* kConversionArrow = "->";
inline constexpr const char* kAddressUnchanged = "アドレスが変更されてないため、更新しません。";
inline constexpr const char* kRunByTimer = "タイマで実行";
inline constexpr const char* kRunManually = "マニュアルで実行";
inline constexpr const char* kRunAsTest = "テスト実行";
inline constexpr const char* kUnappliedSettingsQuestion =
    "設定が変更されています。\n「設定」を選択しなければ変更が反映されません。\n実行しますか？";

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
